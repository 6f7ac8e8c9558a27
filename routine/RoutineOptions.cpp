#include "RoutineOptions.h"
#include "appdata/CommandLineText.h"
#include "appdata/EConfigError.h"
#include "core/Errors.h"
#include "core/QuotedText.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>

#ifndef SHELL_VERSION
#define SHELL_VERSION "0"
#endif

namespace {
const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                    QStringLiteral("Mostra estas opções e termina."));
const QCommandLineOption versionOption(QStringLiteral("version"),
                                       QStringLiteral("Mostra o nome e a versão do programa e termina."));
const QCommandLineOption setOption(QStringLiteral("set"),
                                   QStringLiteral("O conjunto de parâmetros a usar (pessoal ou compartilhado da central "
                                                  "da filial de trabalho), salvo na tela com \"Salvar parâmetros "
                                                  "como…\"."), QStringLiteral("NOME"));
const QCommandLineOption dueOption(QStringLiteral("due"),
                                   QStringLiteral("Emite cada conjunto agendado (\"Agendar…\") que está na hora e "
                                                  "ainda não foi emitido para ela, cada um numa subpasta de --out com "
                                                  "o nome do conjunto; uma execução perdida é feita uma vez só."));
const QCommandLineOption formatOption(QStringLiteral("format"),
                                      QStringLiteral("Os formatos a gravar, separados por vírgulas: pdf, xlsx, csv "
                                                     "(padrão: pdf,xlsx)."), QStringLiteral("FORMATOS"));
const QCommandLineOption outOption(QStringLiteral("out"),
                                   QStringLiteral("A pasta onde os arquivos são gravados (precisa existir)."),
                                   QStringLiteral("PASTA"));
const QCommandLineOption mailOption(QStringLiteral("mail"),
                                    QStringLiteral("Envia os arquivos por e-mail a ENDEREÇO; pode ser repetida ou ter "
                                                   "vários endereços separados por vírgulas."),
                                    QStringLiteral("ENDEREÇO"));
const QCommandLineOption dbOption(QStringLiteral("db"), QStringLiteral("O mesmo que --database."),
                                  QStringLiteral("LOCAL"));
const QCommandLineOption costsOption(QStringLiteral("costs"),
                                     QStringLiteral("Servidor de custos a usar; sem ele o programa inicia o seu "
                                                    "próprio."), QStringLiteral("SERVIDOR:PORTA"));
const QCommandLineOption modulesOption(QStringLiteral("modules"),
                                       QStringLiteral("Pasta dos arquivos de módulo (padrão: a do programa)."),
                                       QStringLiteral("PASTA"));

QList<QCommandLineOption> allOptions()
{
    return QList<QCommandLineOption>{helpOption, versionOption, setOption, dueOption, formatOption, outOption, mailOption,
                                     dbOption, costsOption, modulesOption}
        + ShellConfig::options();
}

[[noreturn]] void refuse(const QString &text) { throw EConfigError(text); }
} // namespace

QString RoutineOptions::helpText(const QString &program)
{
    const QString footer = QStringLiteral(
        "Exemplo: %1 --set \"Mensal Norte\" --format pdf,xlsx --out /srv/relatorios --mail nutricionista@example.org\n"
        "A tela confere o conjunto como se alguém o digitasse; o que ela recusaria é recusado aqui, com as mesmas "
        "palavras. Ao terminar, uma linha JSON na saída padrão lista os arquivos, as linhas e a duração.\n"
        "Códigos de saída: 0 relatório gravado; 1 a tela ou o banco recusou (a mensagem vai para a saída de erros); "
        "2 opção inválida.").arg(program);
    return CommandLineText::help(program,
                                 QStringLiteral("Emite o relatório Custo Realizado Global de um conjunto de parâmetros "
                                                "salvo, sem ninguém na tela."),
                                 allOptions(), footer);
}

bool RoutineOptions::parse(const QStringList &arguments)
{
    const QString program = QFileInfo(arguments.value(0, QStringLiteral("merenda-report"))).fileName();
    QCommandLineParser p;
    p.addOptions(allOptions());
    try {
        if (!p.parse(arguments))
            refuse(CommandLineText::parseError(p, arguments, allOptions()));
        if (p.isSet(helpOption) || p.isSet(versionOption)) {
            const QString text = p.isSet(helpOption) ? helpText(program)
                                                      : QStringLiteral("%1 (Merenda Escolar) %2\n").arg(program, QStringLiteral(SHELL_VERSION));
            std::fputs(text.toLocal8Bit().constData(), stdout);
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

void RoutineOptions::readFormats(const QString &text)
{
    for (const QString &word : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString f = word.trimmed().toLower();
        if (f == QLatin1String("pdf"))
            m_pdf = true;
        else if (f == QLatin1String("xlsx") || f == QLatin1String("csv")) {
            const ExportFormat::Id id = f == QLatin1String("csv") ? ExportFormat::Id::Csv : ExportFormat::Id::Xlsx;
            if (!m_exports.contains(id))
                m_exports << id;
        } else
            refuse(QStringLiteral("Opção --format: \"%1\" não é um formato conhecido (use pdf, xlsx ou csv).")
                       .arg(QuotedText::clip(word)));
    }
    if (!m_pdf && m_exports.isEmpty())
        refuse(QStringLiteral("Opção --format: informe ao menos um formato (pdf, xlsx ou csv)."));
}

void RoutineOptions::read(const QCommandLineParser &p)
{
    if (!p.isSet(QStringLiteral("config")) && !ShellConfig::defaultConfigFile().isEmpty())
        m_config.readIni(ShellConfig::defaultConfigFile());
    m_config.applyOptions(p);
    if (p.isSet(dbOption)) {
        try {
            DatabaseLocation::parse(p.value(dbOption));
        } catch (const EHostError &e) {
            refuse(QStringLiteral("Opção --db: ") + e.text());
        }
        m_config.database = p.value(dbOption);
    }
    if (p.isSet(costsOption)) {
        const QString hostPort = p.value(costsOption);
        const qsizetype colon = hostPort.lastIndexOf(QLatin1Char(':'));
        const int port = colon > 0 ? ShellConfig::parsePort(hostPort.mid(colon + 1), false) : -1;
        if (port < 0)
            refuse(QStringLiteral("Opção --costs: \"%1\" não é SERVIDOR:PORTA (porta de 1 a 65535).")
                       .arg(QuotedText::clip(hostPort)));
        m_config.costsHost = hostPort.left(colon);
        m_config.costsPort = port;
    }
    m_set = p.value(setOption).trimmed();
    m_due = p.isSet(dueOption);
    if (m_set.isEmpty() == !m_due)
        refuse(m_due ? QStringLiteral("Use --set NOME ou --due, não os dois.")
                     : QStringLiteral("Informe o conjunto de parâmetros com --set NOME, ou --due (veja --help)."));
    readFormats(p.isSet(formatOption) ? p.value(formatOption) : QStringLiteral("pdf,xlsx"));
    m_out = p.value(outOption);
    if (m_out.isEmpty() || !QFileInfo(m_out).isDir())
        refuse(m_out.isEmpty() ? QStringLiteral("Informe a pasta dos arquivos com --out PASTA (veja --help).")
                               : QStringLiteral("Opção --out: a pasta \"%1\" não existe.").arg(QuotedText::clip(m_out)));
    static const QRegularExpression address(QStringLiteral("^[^@\\s,;<>]+@[^@\\s,;<>]+\\.[^@\\s,;<>]+$"));
    for (const QString &value : p.values(mailOption))
        for (const QString &one : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            if (!address.match(one.trimmed()).hasMatch())
                refuse(QStringLiteral("Opção --mail: \"%1\" não é um endereço de e-mail.").arg(QuotedText::clip(one)));
            m_mail << one.trimmed();
        }
    m_moduleDir = p.value(modulesOption);
}
