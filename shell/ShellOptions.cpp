#include "ShellOptions.h"
#include "appdata/CommandLineText.h"
#include "appdata/EConfigError.h"
#include "core/QuotedText.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>

#ifndef SHELL_VERSION
#define SHELL_VERSION "0"
#endif

namespace {
const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                    QStringLiteral("Mostra estas opções e termina."));
const QCommandLineOption versionOption(QStringLiteral("version"),
                                       QStringLiteral("Mostra o nome e a versão do programa e termina."));
const QCommandLineOption openOption(QStringLiteral("open"),
                                    QStringLiteral("Abre a tela do MÓDULO (por exemplo XEV01700) ao iniciar; pode ser "
                                                   "repetida."), QStringLiteral("MÓDULO"));
const QCommandLineOption shotOption(QStringLiteral("screenshot"),
                                    QStringLiteral("Grava uma imagem PNG da tela aberta em ARQUIVO e termina; as "
                                                   "mensagens do início vão para a saída de erros."),
                                    QStringLiteral("ARQUIVO"));
const QCommandLineOption modulesOption(QStringLiteral("modules"),
                                       QStringLiteral("Pasta dos arquivos de módulo (padrão: a do programa)."),
                                       QStringLiteral("PASTA"));
const QCommandLineOption dbOption(QStringLiteral("db"), QStringLiteral("O mesmo que --database."),
                                  QStringLiteral("LOCAL"));
const QCommandLineOption costsOption(QStringLiteral("costs"),
                                     QStringLiteral("Servidor de custos a usar; sem ele o programa inicia o seu "
                                                    "próprio."), QStringLiteral("SERVIDOR:PORTA"));
const QCommandLineOption scriptOption(QStringLiteral("script"),
                                      QStringLiteral("Executa uma sessão roteirizada do ARQUIVO ('-' para a entrada "
                                                     "padrão) e termina."), QStringLiteral("ARQUIVO"));
const QCommandLineOption outOption(QStringLiteral("out"),
                                   QStringLiteral("Pasta onde a impressão e a visualização roteirizadas gravam PDF e "
                                                  "CSV."), QStringLiteral("PASTA"));

QList<QCommandLineOption> allOptions()
{
    return QList<QCommandLineOption>{helpOption, versionOption, openOption, shotOption, modulesOption, dbOption,
                                     costsOption, scriptOption, outOption}
        + ShellConfig::options();
}

// Refuses the command line (exit code 2) with a message naming what is wrong.
[[noreturn]] void refuse(const QString &text) { throw EConfigError(text); }
}

QString ShellOptions::helpText(const QString &program)
{
    const QString footer =
        QStringLiteral("Configuração do usuário: %1 (para todos os usuários: /etc/xdg/merenda/shell/shell.ini).\n"
                       "Códigos de saída: 0 tudo certo; 1 falha ao abrir o banco, gravar a imagem ou executar uma "
                       "linha do roteiro; 2 opção ou valor de configuração inválido, ou filial de trabalho não "
                       "cadastrada.").arg(ShellConfig::userConfigFile());
    return CommandLineText::help(program,
                                 QStringLiteral("Merenda Escolar: o programa principal, com as telas de relatórios."),
                                 allOptions(), footer);
}

QString ShellOptions::versionText(const QString &program)
{
    return QStringLiteral("%1 (Merenda Escolar) %2\n").arg(program, QStringLiteral(SHELL_VERSION));
}

bool ShellOptions::parse(const QStringList &arguments)
{
    const QString program = QFileInfo(arguments.value(0, QStringLiteral("shell"))).fileName();
    QCommandLineParser p;
    p.addOptions(allOptions());
    try {
        if (!p.parse(arguments))
            refuse(CommandLineText::parseError(p, arguments, allOptions()));
        if (p.isSet(helpOption) || p.isSet(versionOption)) {
            std::fputs((p.isSet(helpOption) ? helpText(program) : versionText(program)).toLocal8Bit().constData(),
                       stdout);
            m_exitCode = 0;
            return false;
        }
        if (!p.positionalArguments().isEmpty())
            refuse(QStringLiteral("Argumento inesperado: \"%1\" (veja --help).")
                       .arg(QuotedText::clip(p.positionalArguments().first())));
        read(p);
    } catch (const EConfigError &e) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(program), e.text().toLocal8Bit().constData());
        m_exitCode = 2;
        return false;
    }
    return true;
}

void ShellOptions::read(const QCommandLineParser &p)
{
    if (!p.isSet(QStringLiteral("config"))) {
        const QString file = ShellConfig::defaultConfigFile();
        if (!file.isEmpty())
            m_shellConfig.readIni(file);
    }
    m_shellConfig.applyOptions(p);
    if (p.isSet(dbOption)) {
        const QString db = p.value(dbOption);
        try {
            DatabaseLocation::parse(db);
        } catch (const EHostError &e) {
            refuse(QStringLiteral("Opção --db: ") + e.text());
        }
        m_shellConfig.database = db;
    }
    if (p.isSet(costsOption)) {
        const QString hostPort = p.value(costsOption);
        const qsizetype colon = hostPort.lastIndexOf(QLatin1Char(':'));
        const int port = colon > 0 ? ShellConfig::parsePort(hostPort.mid(colon + 1), false) : -1;
        if (port < 0)
            refuse(QStringLiteral("Opção --costs: \"%1\" não é SERVIDOR:PORTA (porta de 1 a 65535).")
                   .arg(QuotedText::clip(hostPort)));
        m_shellConfig.costsHost = hostPort.left(colon);
        m_shellConfig.costsPort = port;
    }
    m_open = p.values(openOption);
    m_screenshot = p.value(shotOption);
    m_moduleDir = p.value(modulesOption);
    m_script = p.value(scriptOption);
    if (!m_script.isEmpty() && m_script != QLatin1String("-") && !QFileInfo(m_script).isReadable())
        refuse(QStringLiteral("Opção --script: não foi possível ler o roteiro \"%1\".").arg(m_script));
    m_out = p.value(outOption);
}
