#include "RoutineOffice.h"
#include "appdata/CostsServerProcess.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

RoutineOffice::RoutineOffice()
{
    // Other logins reach the people's homes and the database's folder.
    QFile::setPermissions(m_dir.path(), QFileDevice::Permissions(0x7777));
}

RoutineOffice::~RoutineOffice() { delete m_server; }

bool RoutineOffice::start(const QString &location, QString *why)
{
    m_location = location;
    m_server = new CostsServerProcess;
    m_server->setProgram(QStringLiteral(COSTS_SERVER_PATH));
    m_server->setCredentials(m_user, m_password);
    if (!m_server->start(location, {}, 20000, why))
        return false;
    m_costs = QStringLiteral("%1:%2").arg(m_server->host()).arg(m_server->port());
    return true;
}

QString RoutineOffice::home(const QString &person)
{
    const QString dir = m_dir.filePath(QStringLiteral("home-") + person);
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFileDevice::Permissions(0x7777));
    return dir;
}

QProcessEnvironment RoutineOffice::environment(const QString &person)
{
    QProcessEnvironment env = ProcessRun::noDisplay(QDir(home(person)).filePath(QStringLiteral(".config")));
    env.insert(QStringLiteral("HOME"), home(person));
    env.insert(QStringLiteral("XDG_DATA_HOME"), QDir(home(person)).filePath(QStringLiteral(".local/share")));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("pt_BR.UTF-8"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    for (const QString &key : m_extra.keys()) {
        if (m_extra.value(key).isEmpty())
            env.remove(key);
        else
            env.insert(key, m_extra.value(key));
    }
    return env;
}

QStringList RoutineOffice::common() const
{
    QStringList args{QStringLiteral("--db"), m_location, QStringLiteral("--costs"), m_costs};
    if (!m_config.isEmpty())
        args << QStringLiteral("--config") << m_config;
    return args;
}

ProcessRun::Result RoutineOffice::session(const QString &person, const QString &script, const QString &asLogin)
{
    const QString file = QDir(home(person)).filePath(QStringLiteral("sessao.script"));
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    f.write(script.toUtf8());
    f.close();
    QFile::setPermissions(file, QFileDevice::Permissions(0x6666));
    QString program = QStringLiteral(SHELL_PROGRAM);
    QStringList args = common() << QStringLiteral("--script") << file;
    if (!asLogin.isEmpty()) {
        args.prepend(program);
        args = QStringList{QStringLiteral("--reuid=") + asLogin, QStringLiteral("--regid=") + asLogin,
                           QStringLiteral("--clear-groups"), QStringLiteral("--")} + args;
        program = QStringLiteral("setpriv");
    }
    return ProcessRun::run(program, args, environment(person), 120000);
}

QStringList RoutineOffice::messages(const QString &out)
{
    QStringList texts;
    for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        if (o.value(QStringLiteral("event")) == QLatin1String("message"))
            texts << o.value(QStringLiteral("text")).toString();
    }
    return texts;
}

QList<QPair<QString, QString>> RoutineOffice::values(const QString &out)
{
    QList<QPair<QString, QString>> found;
    for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        if (o.value(QStringLiteral("event")) == QLatin1String("value"))
            found.append({o.value(QStringLiteral("control")).toString(), o.value(QStringLiteral("value")).toVariant().toString()});
    }
    return found;
}

ProcessRun::Result RoutineOffice::report(const QString &person, const QStringList &args)
{
    return ProcessRun::run(QStringLiteral(REPORT_PROGRAM), common() + args, environment(person), 120000);
}

QJsonObject RoutineOffice::summary(const ProcessRun::Result &r)
{
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QJsonObject() : QJsonDocument::fromJson(lines.last().toUtf8()).object();
}
