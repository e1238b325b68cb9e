#include "datatool/options.h"

#include <vector>

namespace orv::datatool {

bool ParsedArgs::parse(const QStringList& args, std::initializer_list<OptionDef> defs,
                       QString& error)
{
    m_values.clear();
    m_positional.clear();
    const std::vector<OptionDef> known(defs);
    auto find = [&known](const QString& word) -> const OptionDef* {
        for (const OptionDef& def : known)
            if (word == def.name || (!def.shortName.isEmpty() && word == def.shortName))
                return &def;
        return nullptr;
    };

    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (optionsEnded || arg == u"-" || !arg.startsWith(u'-')) {
            m_positional.append(arg);
            continue;
        }
        if (arg == u"--") {
            optionsEnded = true;
            continue;
        }
        QString word = arg;
        QString inlineValue;
        bool hasInlineValue = false;
        const qsizetype eq = arg.indexOf(u'=');
        if (arg.startsWith(u"--") && eq > 2) {
            word = arg.left(eq);
            inlineValue = arg.mid(eq + 1);
            hasInlineValue = true;
        }
        const OptionDef* def = find(word);
        if (!def) {
            error = QStringLiteral("Unbekannte Option: ") + word +
                    QStringLiteral(" (Hilfe: orvane-data --help)");
            return false;
        }
        if (m_values.contains(def->name)) {
            error = QStringLiteral("Die Option ") + def->name +
                    QStringLiteral(" ist mehrfach angegeben.");
            return false;
        }
        if (!def->takesValue) {
            if (hasInlineValue) {
                error = QStringLiteral("Die Option ") + def->name +
                        QStringLiteral(" erwartet keinen Wert.");
                return false;
            }
            m_values.insert(def->name, QString());
            continue;
        }
        if (hasInlineValue) {
            m_values.insert(def->name, inlineValue);
            continue;
        }
        if (i + 1 >= args.size()) {
            error = QStringLiteral("Die Option ") + word + QStringLiteral(" erwartet einen Wert.");
            return false;
        }
        m_values.insert(def->name, args[++i]);
    }
    return true;
}

} // namespace orv::datatool
