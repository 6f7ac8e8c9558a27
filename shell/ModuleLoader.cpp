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
    auto initialize = reinterpret_cast<Proc>(m.library->resolve("Initialize"));
    m.iniProc = reinterpret_cast<Proc>(m.library->resolve("IniProc"));
    m.finalize = reinterpret_cast<Proc>(m.library->resolve("Finalize"));
    auto table = reinterpret_cast<const PackageInfoTable *(*)()>(m.library->resolve("GetPackageInfoTable"));
    if (!initialize || !m.iniProc || !m.finalize || !table || !table()) {
        m.library->unload();
        throw EHostError(QStringLiteral("O arquivo %1 não é um módulo válido.").arg(fileFor(code)));
    }
    initialize();
    return m_modules.emplace(code, std::move(m)).first->second;
}

void ModuleLoader::open(const QString &moduleCode)
{
    load(moduleCode).iniProc();
}

void ModuleLoader::unloadAll()
{
    for (auto &[code, m] : m_modules) {
        m.finalize();
        m.library->unload();
    }
    m_modules.clear();
}

QFunctionPointer ModuleLoader::resolve(const QString &moduleCode, const char *symbol) const
{
    const auto it = m_modules.find(moduleCode.toUpper());
    return it == m_modules.end() ? nullptr : it->second.library->resolve(symbol);
}
