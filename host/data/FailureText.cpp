#include "FailureText.h"

namespace FailureText {

QString engineWords(const QString &text)
{
    QString line = text.simplified();
    if (line.size() > 200)
        line = line.left(199) + QChar(0x2026);
    while (line.endsWith(QLatin1Char('.')))
        line.chop(1);
    return line;
}

QString sentence(const DatabaseFailure &failure, const QString &what)
{
    if (!failure.advice.isEmpty())
        return failure.advice;
    const QString said = engineWords(failure.engineText);
    using Kind = DatabaseFailure::Kind;
    QString text;
    switch (failure.kind) {
    case Kind::Permission:
        text = QStringLiteral("O banco de dados recusou %1 por falta de permissão do usuário. Se é uma leitura de que "
                              "precisa, peça ao administrador do banco o direito que falta");
        break;
    case Kind::ReadOnly:
        text = QStringLiteral("O banco de dados recusou %1, porque por esta conexão ele só pode ser consultado (a "
                              "de um relatório não grava)");
        break;
    case Kind::Busy:
        text = QStringLiteral("O banco de dados não atendeu %1, porque outro programa ocupa o que ela precisa. Tente "
                              "de novo em instantes");
        break;
    case Kind::BadStatement:
        text = QStringLiteral("O banco de dados não aceitou %1 como está escrita. Confira o texto da instrução");
        break;
    case Kind::TextTooLong:
        text = QStringLiteral("O banco de dados recusou %1, porque um texto dado a ela é mais longo do que ele "
                              "aceita. Use um texto menor");
        break;
    case Kind::TimedOut:
        // PostgreSQL says the same for a time limit and for a Cancel.
        text = QStringLiteral("O banco de dados interrompeu %1 (tempo limite ou cancelamento). Tente de novo; se "
                              "o tempo acabar outra vez, restrinja a consulta");
        break;
    case Kind::ConnectionLost:
    case Kind::Refused:
        text = QStringLiteral("A conexão com o banco de dados falhou durante %1. Confira se o servidor está no ar; a "
                              "próxima ação conecta de novo");
        break;
    case Kind::Other:
        text = QStringLiteral("O banco de dados não conseguiu executar %1");
        break;
    }
    return text.arg(what) + QStringLiteral(". O banco de dados disse: ") + said + QLatin1Char('.');
}

} // namespace FailureText
