// Fuzzes the form-definition reader (FormLexer, FormParser, FormReader).
//
// Input: form definitions (code page 1252 text) separated by NUL bytes: an
// ancestor's first, then its descendants'. They are applied in order onto a
// fresh form of a class with handlers of the usual shapes, then finished
// (references resolved, events bound). Checks: reading either succeeds or
// raises DefinitionError naming a line of the definition it read; nothing
// else escapes; no crash, hang, leak or sanitizer report. FUZZ_VERBOSE=1
// prints why a definition was refused (handy when adding starting inputs).
#include "core/Errors.h"
#include "widgets/FormReader.h"
#include "widgets/TFont.h"
#include "widgets/TForm.h"

#include <QApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

class TfrmFuzz : public TForm {
    Q_OBJECT
public:
    using TForm::TForm;

public slots:
    void FormCreate(QObject *) {}
    void FormActivate(QObject *) {}
    void FormShow(QObject *) {}
    void FormClose(QObject *, int *) {}
    void FormKeyDown(QObject *, int *, int) {}
    void Click(QObject *) {}
    void Change(QObject *) {}
    void Enter(QObject *) {}
    void Exit(QObject *) {}
    void KeyPress(QObject *, QChar *) {}
};

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    return 0;
}

namespace {

qsizetype lineCount(const QByteArray &source) { return source.count('\n') + 1; }

void checkPlace(const DefinitionError &e, qsizetype lines)
{
    if (qEnvironmentVariableIsSet("FUZZ_VERBOSE"))
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
    if (e.line() < 1 || e.line() > lines || e.column() < 1) {
        std::fprintf(stderr, "form_reader: the error's place lies outside the text\n%s\n", qPrintable(e.text()));
        std::abort();
    }
}

void readAll(const QList<QByteArray> &definitions)
{
    TfrmFuzz form;
    FormReader reader(&form);
    for (const QByteArray &source : definitions) {
        try {
            reader.read(source, QStringLiteral("fuzz.dfm"));
        } catch (const DefinitionError &e) {
            checkPlace(e, lineCount(source));
            return;
        }
    }
    try {
        reader.finish();
    } catch (const DefinitionError &e) {
        // A reference or a handler may come from any of the definitions.
        qsizetype lines = 0;
        for (const QByteArray &source : definitions)
            lines = qMax(lines, lineCount(source));
        checkPlace(e, lines);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    readAll(input.split('\0'));
    // A definition that failed half-way leaves fonts to apply; their controls are gone.
    TFont::applyPending();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

#include "form_reader.moc"
