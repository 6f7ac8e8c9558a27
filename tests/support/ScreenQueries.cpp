#include "ScreenQueries.h"

#include "widgets/FormParser.h"
#include "widgets/FormReader.h"

#include <QFile>

// Outside any namespace: the macro declares the resource's function here.
static void initScreenResources() { Q_INIT_RESOURCE(screen_forms); }

namespace {
bool isDataComponent(const FormNode &node)
{
    return node.className == QLatin1String("TADOIBQuery") || node.className == QLatin1String("TDataSource");
}
} // namespace

namespace ScreenQueries {

std::unique_ptr<TForm> form()
{
    initScreenResources();
    const QString path = QStringLiteral(":/forms/TfrmRealGlobal.dfm");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the screen's form definition is not in the resources");
    const std::shared_ptr<FormNode> screen = FormParser(file.readAll(), path).parse();
    FormNode root;
    root.name = QStringLiteral("frmConsultas");
    root.className = QStringLiteral("TForm");
    for (const FormNode::Entry &e : screen->entries)
        if (e.child && isDataComponent(*e.child))
            root.entries.append(e);
    auto form = std::make_unique<TForm>();
    FormReader reader(form.get());
    reader.read(root, path);
    reader.finish();
    return form;
}

} // namespace ScreenQueries
