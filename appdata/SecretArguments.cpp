#include "SecretArguments.h"

#include <cstring>

namespace {
void blank(char *text)
{
    for (; *text; ++text)
        *text = '*';
}
}

QString SecretArguments::hide(int argc, char **argv, const char *name)
{
    const std::string dashed = std::string("-") + name, doubled = "-" + dashed;
    bool given = false;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (std::strcmp(arg, "--") == 0)
            break;
        for (const std::string &option : {doubled, dashed}) {
            if (std::strcmp(arg, option.c_str()) == 0 && i + 1 < argc) {
                blank(argv[++i]);
                given = true;
            } else if (std::strncmp(arg, option.c_str(), option.size()) == 0 && arg[option.size()] == '=') {
                blank(argv[i] + option.size() + 1);
                given = true;
            } else {
                continue;
            }
            break;
        }
    }
    if (!given)
        return QString();
    return QStringLiteral("Aviso: a senha dada em --%1 fica à vista de todos os usuários desta máquina (na lista de "
                          "processos, enquanto o programa inicia, e no histórico do terminal). Prefira \"Lembrar a "
                          "senha\" ao entrar, PGPASSWORD ou ~/.pgpass (PostgreSQL), ISC_PASSWORD (Firebird) ou "
                          "password= num arquivo de configuração só seu (chmod 600).")
        .arg(QString::fromLatin1(name));
}
