#include "ReportUi.h"

#include "core/HostUi.h"

namespace {
class StandInReportUi : public ReportUi {
public:
    bool askPrinter(QPrinter &, const QString &) override { return false; }
    bool editReport(ReportDefinition &, const std::function<QString(const ReportDefinition &)> &) override
    {
        return false;
    }
    void previewDocument(PagedDocument &, const QList<PreviewAction> &) override {}
};
} // namespace

ReportUi::~ReportUi() = default;

ReportUi &ReportUi::instance()
{
    if (auto *ui = dynamic_cast<ReportUi *>(&HostUi::instance()))
        return *ui;
    static StandInReportUi standIn;
    return standIn;
}

void ReportUi::reportRows(const ReportDocument &) {}
