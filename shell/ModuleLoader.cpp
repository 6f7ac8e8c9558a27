#include "ModuleLoader.h"
#include "core/Errors.h"
#include "core/PackageInfo.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

ModuleLoader::ModuleLoader(const QString &moduleDir) : m_dir(moduleDir) {}

ModuleLoader::~ModuleLoader() { unloadAll(); }

QString ModuleLoader::fileFor(const QString &moduleCode) const
{
    return QDir(m_dir).filePath(QStringLiteral("PKG_%1.so").arg(moduleCode.toUpper()));
}

ModuleLoader::Module &ModuleLoader::load(const QString &moduleCode)
{
    const QString code = moduleCode.toUpper();
    auto it = m_modules.find(code);
    if (it != m_modules.end())
        return it->second;
    Module m;
    m.library = std::make_unique<QLibrary>(fileFor(code));
    if (!QFileInfo::exists(fileFor(code)))
        throw EHostError(QStringLiteral("O módulo %1 não foi encontrado: o arquivo %2 não existe.")
                             .arg(code, fileFor(code)));
    if (!m.library->load())
        throw EHostError(QStringLiteral("Não foi possível carregar o módulo %1 (arquivo %2). Detalhe do sistema: %3")
                             .arg(code, fileFor(code), m.library->errorString()));
    using Proc = void (*)();
    m.initialize = reinterpret_cast<Proc>(m.library->resolve("Initialize"));
    m.iniProc = reinterpret_cast<Proc>(m.library->resolve("IniProc"));
    m.finalize = reinterpret_cast<Proc>(m.library->resolve("Finalize"));
    auto table = reinterpret_cast<const PackageInfoTable *(*)()>(m.library->resolve("GetPackageInfoTable"));
    if (!m.initialize || !m.iniProc || !m.finalize || !table || !table()) {
        m.library->unload();
        throw EHostError(QStringLiteral("O arquivo %1 não é um módulo válido.").arg(fileFor(code)));
    }
    if (auto describe = reinterpret_cast<const ModuleDescription *(*)()>(m.library->resolve("DescribeModule")))
        m.description = describe();
    return m_modules.emplace(code, std::move(m)).first->second;
}

QList<ModuleDescription> ModuleLoader::describeAll()
{
    QList<ModuleDescription> out;
    const QStringList files = QDir(m_dir).entryList({QStringLiteral("PKG_*.so")}, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        const QString code = file.mid(4, file.size() - 7);
        if (code.isEmpty() || code != code.toUpper())
            continue; // not a name fileFor() gives
        try {
            const Module &m = load(code);
            if (m.description && m.description->code.compare(code, Qt::CaseInsensitive) == 0)
                out << *m.description;
        } catch (const EHostError &) {
            // Left out of the list; opening it shows the reason.
        }
    }
    return out;
}

const ModuleDescription *ModuleLoader::description(const QString &moduleCode) const
{
    const auto it = m_modules.find(moduleCode.toUpper());
    return it == m_modules.end() ? nullptr : it->second.description;
}

void ModuleLoader::open(const QString &moduleCode)
{
    Module &m = load(moduleCode);
    if (!m.started) {
        m.initialize();
        m.started = true;
    }
    m.iniProc();
}

void ModuleLoader::unloadAll()
{
    for (auto &[code, m] : m_modules) {
        if (m.started)
            m.finalize();
        m.library->unload();
    }
    m_modules.clear();
}

QList<const QObject *> ModuleLoader::variables() const
{
    QList<const QObject *> out;
    for (const auto &[code, m] : m_modules)
        if (m.description && m.description->variables)
            out << m.description->variables;
    return out;
}
