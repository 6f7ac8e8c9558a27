#include "ScriptOutput.h"
#include "report/commands/TfrmDadosGerRel.h"

#include "data/TParam.h"
#include "report/commands/TReportDesignerDialog.h"
#include "ui/ScriptedHostUi.h"
#include "widgets/TComboBox.h"
#include "widgets/TForm.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

namespace {
QJsonValue jsonOf(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return QJsonValue::Null;
    switch (v.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("yyyy-MM-dd"))
                                        : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case QMetaType::QDate: return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::Int:
    case QMetaType::LongLong: return v.toLongLong();
    case QMetaType::Double: return v.toDouble();
    case QMetaType::Bool: return v.toBool();
    default: return v.toString();
    }
}

QJsonObject searchEvent(const SearchScript::Shown &s)
{
    QJsonObject o{{"event", "search"}, {"title", s.title}, {"rows", s.rows}};
    if (!s.filter.isNull()) {
        QJsonArray matches;
        for (const QStringList &row : s.matches)
            matches.append(QJsonArray::fromStringList(row));
        o.insert("filter", s.filter);
        o.insert("total", s.total);
        o.insert("matches", matches);
    }
    return o;
}
} // namespace

ScriptOutput::ScriptOutput(ScriptedHostUi &ui, QTextStream &out) : m_ui(ui), m_out(out)
{
    m_ui.onMessage = [this](const ScriptedHostUi::Message &m) {
        print(QJsonObject{{"event", "message"}, {"text", m.text}, {"abort", m.abort}});
    };
    m_ui.search.onSearch = [this](const SearchScript::Shown &s) {
        if (s.error.isEmpty())
            print(searchEvent(s));
        else
            m_errors << s.error;
    };
    m_ui.onQuestion = [this](const ScriptedHostUi::Question &q) {
        print(QJsonObject{{"event", "question"}, {"text", q.text}, {"answer", q.answer ? "yes" : "no"}});
    };
    m_ui.onCancelled = [this](const ScriptedHostUi::WaitSeen &w) {
        print(QJsonObject{{"event", "cancelled"}, {"title", w.title}});
    };
}

ScriptOutput::~ScriptOutput()
{
    m_ui.onMessage = nullptr;
    m_ui.search.onSearch = nullptr;
    m_ui.onQuestion = nullptr;
    m_ui.onCancelled = nullptr;
}

void ScriptOutput::print(const QJsonObject &o)
{
    m_out << QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)) << '\n';
    m_out.flush();
}

void ScriptOutput::watchReportParams(TForm *form)
{
    auto *screen = qobject_cast<TfrmDadosGerRel *>(form);
    TReportDesignerDialog *runner = screen ? screen->reportRunner() : nullptr;
    if (!runner || runner == m_watched)
        return;
    m_watched = runner;
    // Connected after the screen's own handler, so it sees the values it set.
    QObject::connect(runner, &TReportDesignerDialog::BeforeGetQueryParams, runner,
                     [this, screen = QPointer<TfrmDadosGerRel>(screen)](TParams *params, bool *) {
        QJsonArray list;
        for (int i = 0; i < params->Count(); ++i) {
            const TParam &p = params->at(i);
            list.append(QJsonObject{{"name", p.Name()},
                                    {"type", TParam::typeName(p.dataType())},
                                    {"value", jsonOf(p.Value())}});
        }
        const QString report = screen ? screen->reportNames()->currentText() : QString();
        print(QJsonObject{{"event", "params"}, {"report", report}, {"params", list}});
    });
}
