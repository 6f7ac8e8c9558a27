#include "IniFile.h"
#include "EConfigError.h"
#include "core/QuotedText.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <sys/stat.h>

namespace {
QString unquote(const QString &text)
{
    if (text.size() < 2 || !text.startsWith(QLatin1Char('"')) || !text.endsWith(QLatin1Char('"')))
        return text;
    QString out;
    for (qsizetype i = 1; i < text.size() - 1; ++i) {
        if (text[i] == QLatin1Char('\\') && i + 1 < text.size() - 1)
            ++i;
        out += text[i];
    }
    return out;
}

// The permission bits of the file as it was opened go to *mode.
QString readText(const QString &path, mode_t *mode)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw EConfigError(QStringLiteral("O arquivo de configuração %1 não existe.").arg(path));
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        throw EConfigError(QStringLiteral("Não foi possível ler o arquivo de configuração %1: %2.")
                               .arg(path, info.isDir() ? QStringLiteral("é uma pasta") : file.errorString()));
    struct stat st;
    *mode = ::fstat(file.handle(), &st) == 0 ? st.st_mode & 07777 : 0;
    // Read one byte past the bound: a larger file (or a device that never
    // ends) is refused without being held whole.
    const QByteArray bytes = file.read(IniFile::kMaxBytes + 1);
    if (bytes.size() > IniFile::kMaxBytes)
        throw EConfigError(QStringLiteral("O arquivo de configuração %1 passa de %2 KB; um arquivo de configuração tem "
                                          "poucas linhas. Confira se é o arquivo certo.")
                               .arg(path).arg(IniFile::kMaxBytes / 1024));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (utf8.hasError())
        throw EConfigError(QStringLiteral("O arquivo de configuração %1 não está em UTF-8.").arg(path));
    return text;
}
}

namespace {
// A file that others may read must not hold a secret: the first key named
// password or token with a value is told, with the fix.
void refuseOpenSecrets(const QString &path, mode_t mode, const QList<IniFile::Entry> &entries)
{
    if ((mode & (S_IRWXG | S_IRWXO)) == 0)
        return;
    for (const IniFile::Entry &e : entries) {
        const QString name = e.key.section(QLatin1Char('/'), 1);
        if (e.value.isEmpty() || (name != QLatin1String("password") && name != QLatin1String("token")))
            continue;
        throw EConfigError(QStringLiteral("O arquivo de configuração %1 guarda %2 ([%3] %4=, linha %5), mas outros "
                                          "usuários desta máquina podem lê-lo (permissões %6). Deixe-o só para o "
                                          "seu dono com: chmod 600 %1")
                               .arg(path, name == QLatin1String("token") ? QStringLiteral("uma chave de acesso")
                                                                          : QStringLiteral("uma senha"),
                                    e.key.section(QLatin1Char('/'), 0, 0), name)
                               .arg(e.line)
                               .arg(QString::number(mode & 0777, 8).rightJustified(4, QLatin1Char('0'))));
    }
}

// Where the first control character of a line is (a tab is a blank); -1: none.
qsizetype controlIn(const QString &line)
{
    for (qsizetype i = 0; i < line.size(); ++i)
        if (line[i].category() == QChar::Other_Control && line[i] != QLatin1Char('\t'))
            return i;
    return -1;
}
}

QList<IniFile::Entry> IniFile::read(const QString &path)
{
    mode_t mode = 0;
    const QStringList lines = readText(path, &mode).split(QLatin1Char('\n'));
    QList<Entry> entries;
    QHash<QString, int> seen;
    QString section;
    auto bad = [&](int line, const QString &why) {
        return EConfigError(QStringLiteral("Arquivo de configuração %1, linha %2: %3").arg(path).arg(line).arg(why));
    };
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (const qsizetype at = controlIn(line); at >= 0)
            throw bad(lineNo, QStringLiteral("\"%1\" tem o caractere de controle %2, que não cabe num arquivo de "
                                             "configuração; apague-o.")
                                  .arg(QuotedText::clip(line), QuotedText::clip(line.mid(at, 1))));
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')) || line.size() < 3)
                throw bad(lineNo, QStringLiteral("seção malformada: \"%1\" (escreva [nome]).").arg(QuotedText::clip(line)));
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            throw bad(lineNo, QStringLiteral("\"%1\" não é [seção] nem chave=valor.").arg(QuotedText::clip(line)));
        if (section.isEmpty())
            throw bad(lineNo, QStringLiteral("a chave \"%1\" está fora de uma seção.")
                                  .arg(QuotedText::clip(line.left(eq).trimmed())));
        const QString key = section + QLatin1Char('/') + line.left(eq).trimmed().toLower();
        if (seen.contains(key))
            throw bad(lineNo, QStringLiteral("a chave \"%1\" da seção [%2] já foi dada na linha %3.")
                                    .arg(QuotedText::clip(line.left(eq).trimmed()), QuotedText::clip(section))
                                    .arg(seen.value(key)));
        seen.insert(key, lineNo);
        entries.append({key, unquote(line.mid(eq + 1).trimmed()), lineNo});
    }
    refuseOpenSecrets(path, mode, entries);
    return entries;
}
