#include "cli/CCliArgs.h"

bool CCliArgs::parse(const QStringList& arguments) {
    static const QStringList flags{
        QStringLiteral("help"),         QStringLiteral("yes"),         QStringLiteral("info-only"),
        QStringLiteral("convert"),      QStringLiteral("csv"),         QStringLiteral("not-downloaded"),
        QStringLiteral("repair"),       QStringLiteral("verified"),    QStringLiteral("normalize"),
        QStringLiteral("skip-silence"), QStringLiteral("empty-calls"), QStringLiteral("include-deleted")};
    static const QStringList valued{
        QStringLiteral("unit"), QStringLiteral("port"), QStringLiteral("user"), QStringLiteral("password-file"),
        QStringLiteral("boxes"), QStringLiteral("columns"), QStringLiteral("box"),
        // deletion, move and copy
        QStringLiteral("kind"), QStringLiteral("overwrite"),
        // how long to wait for a download folder another operation is changing
        QStringLiteral("wait"),
        // the list's sort and selection criteria, and the editor's fields ("to" is also the target of a move or
        // copy)
        QStringLiteral("sort"), QStringLiteral("title"), QStringLiteral("box-no"), QStringLiteral("box-name"),
        QStringLiteral("caller-no"), QStringLiteral("caller-name"), QStringLiteral("memo"), QStringLiteral("from"),
        QStringLiteral("to"), QStringLiteral("flag"), QStringLiteral("played"), QStringLiteral("protect"),
        QStringLiteral("import"),
        // the playing speed
        QStringLiteral("speed"),
        // the audio export's folder and format
        QStringLiteral("out"), QStringLiteral("format")};
    bool onlyOperands = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        if (onlyOperands || !word.startsWith(QLatin1Char('-')) || word == QLatin1String("-")) {
            if (command.isEmpty()) {
                command = word;
            } else {
                operands << word;
            }
            continue;
        }
        if (word == QLatin1String("--")) {
            onlyOperands = true;
            continue;
        }
        if (word == QLatin1String("-h")) {
            help = true;
            continue;
        }
        QString name = word.mid(2);
        QString value;
        bool hasValue = false;
        const qsizetype eq = name.indexOf(QLatin1Char('='));
        if (eq >= 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            hasValue = true;
        }
        if (!word.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("unknown option %1").arg(word);
            return false;
        }
        if (name == QLatin1String("password")) {
            error = QStringLiteral("a password is never taken from the command line: use --password-file FILE or "
                                   "the environment variable KELDA_PASSWORD");
            return false;
        }
        if (flags.contains(name)) {
            if (hasValue) {
                error = QStringLiteral("option --%1 takes no value").arg(name);
                return false;
            }
            given.insert(name);
            help = help || name == QLatin1String("help");
            yes = yes || name == QLatin1String("yes");
            infoOnly = infoOnly || name == QLatin1String("info-only");
            convert = convert || name == QLatin1String("convert");
            csv = csv || name == QLatin1String("csv");
            continue;
        }
        if (!valued.contains(name)) {
            error = QStringLiteral("unknown option --%1").arg(name);
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("option --%1 needs a value").arg(name);
                return false;
            }
            value = arguments[++i];
        }
        given.insert(name);
        values.insert(name, value);
        if (name == QLatin1String("unit")) {
            unit = value;
        } else if (name == QLatin1String("port")) {
            port = value;
        } else if (name == QLatin1String("user")) {
            user = value;
        } else if (name == QLatin1String("password-file")) {
            passwordFile = value;
        } else if (name == QLatin1String("boxes")) {
            boxesText = value;
        } else if (name == QLatin1String("columns")) {
            columns = value;
        } else if (name == QLatin1String("kind")) {
            kind = value;
        } else if (name == QLatin1String("to")) {
            to = value;
        } else if (name == QLatin1String("overwrite")) {
            overwrite = value;
        } else if (name == QLatin1String("box")) {
            boxes << value;
        }
    }
    return true;
}
