#include "cli/CCliListFilter.h"

#include "cli/CCliArgs.h"
#include "cli/CCliCommands.h"
#include "cli/CConsoleUi.h"
#include "list/CFindSetLogic.h"
#include "list/CListColumns.h"
#include "list/CListModel.h"

namespace {
using Criterion = CListColumns::Criterion;

// Every criterion is set by the option named after its column, but the date range has "from" and "to".
QStringList criterionOptions() {
    QStringList names;
    for (const CListColumns::Column& c : CListColumns::all()) {
        if (c.criterion == Criterion::Date) {
            names << QStringLiteral("from") << QStringLiteral("to");
        } else if (c.criterion != Criterion::None) {
            names << QLatin1String(c.key);
        }
    }
    return names;
}

int refuse(CConsoleUi& ui, const QString& problem) {
    ui.note(QStringLiteral("kelda-cli: %1 (see kelda-cli list --help)").arg(problem));
    return CCliCommands::Usage;
}
} // namespace

QStringList CCliListFilter::options() {
    return criterionOptions() +
           QStringList{QStringLiteral("sort"), QStringLiteral("not-downloaded"), QStringLiteral("empty-calls")};
}

bool CCliListFilter::yesNo(const QString& value, bool& ok) {
    ok = value == QLatin1String("yes") || value == QLatin1String("no");
    return value == QLatin1String("yes");
}

int CCliListFilter::apply(const CCliArgs& args, CListModel& model, CConsoleUi& ui) {
    bool anyCriterion = false;
    for (const QString& name : criterionOptions()) {
        anyCriterion = anyCriterion || args.given.contains(name);
    }
    const bool emptyCalls = args.given.contains(QStringLiteral("empty-calls"));
    anyCriterion = anyCriterion || emptyCalls;
    const bool notDownloaded = args.given.contains(QStringLiteral("not-downloaded"));
    if (anyCriterion && notDownloaded) {
        return refuse(ui, QStringLiteral("--not-downloaded takes no selection criteria"));
    }

    // The sort is checked first: a refused option changes nothing.
    int sortColumn = -1;
    int sortDirection = 0;
    if (args.given.contains(QStringLiteral("sort"))) {
        QString title = args.values.value(QStringLiteral("sort"));
        if (title.endsWith(QLatin1String(":desc"))) {
            title.chop(5);
            sortDirection = 1;
        } else if (title.endsWith(QLatin1String(":asc"))) {
            title.chop(4);
        }
        for (int c = 0; c < model.columnCount(); ++c) {
            if (model.columnTitle(c) == title) {
                sortColumn = c;
            }
        }
        if (sortColumn < 0) {
            return refuse(ui, QStringLiteral("--sort: %1 is not a column of the list").arg(title));
        }
    }

    // What a window measures in its background is measured here before the rows are chosen.
    if (emptyCalls || model.findColumn(CListColumns::ColSpeech) >= 0) {
        if (const int failed = model.measureNow(); failed > 0) {
            ui.note(QStringLiteral("kelda-cli: the voice data of %1 messages could not be measured").arg(failed));
        }
    }
    if (anyCriterion) {
        CSelectCriteria criteria = CSelectCriteria::initial();
        CFindSetLogic logic(criteria, ui);
        CFindSetLogic::Form& f = logic.form();
        f.emptyCallsOn = emptyCalls;
        // The texts and the yes/no choices, column by column; a refused choice is told after the dates.
        bool choiceRefused = false;
        for (const CListColumns::Column& c : CListColumns::all()) {
            const QLatin1String name(c.key);
            if (!args.given.contains(name)) {
                continue;
            }
            if (c.criterion == Criterion::Prefix || c.criterion == Criterion::Wildcard) {
                f.*c.formOn = true;
                f.*c.formText = args.values.value(name);
            } else if (c.criterion == Criterion::Status) {
                bool ok = false;
                f.*c.formFirst = yesNo(args.values.value(name), ok);
                f.*c.formOn = true;
                choiceRefused = choiceRefused || !ok;
            }
        }
        if (args.given.contains(QStringLiteral("from")) || args.given.contains(QStringLiteral("to"))) {
            f.dateOn = true;
            f.dateFrom = args.values.value(QStringLiteral("from"), QLatin1String(CFindSetLogic::DATE_MIN));
            f.dateTo = args.values.value(QStringLiteral("to"), QLatin1String(CFindSetLogic::DATE_MAX));
            for (const QString& d : {f.dateFrom, f.dateTo}) {
                if (!CFindSetLogic::isPickerDate(d)) {
                    return refuse(ui, QStringLiteral("%1 is not a date YYYY/MM/DD from %2 to %3")
                                          .arg(d, QLatin1String(CFindSetLogic::DATE_MIN),
                                               QLatin1String(CFindSetLogic::DATE_MAX)));
                }
            }
        }
        if (choiceRefused) {
            return refuse(ui, QStringLiteral("--flag, --played and --protect take yes or no"));
        }
        if (args.given.contains(QStringLiteral("import"))) {
            f.importOn = true;
            const QString value = args.values.value(QStringLiteral("import"));
            bool isCode = false;
            const int code = value.toInt(&isCode);
            if (isCode && code >= 0 && code <= CSelectCriteria::IMPORT_INFO_ONLY) {
                const auto ticks = CSelectCriteria::importTicks(code);
                for (int i = 0; i < CFindSetLogic::IMPORT_BOXES; ++i) {
                    f.importTicks[i] = ticks[static_cast<size_t>(i)];
                }
            } else {
                static const QStringList words{QStringLiteral("再生済"), QStringLiteral("未再生"),
                                               QStringLiteral("消去済"), QStringLiteral("録音情報のみ")};
                for (const QString& w : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                    const auto box = words.indexOf(w.trimmed());
                    if (box < 0) {
                        return refuse(ui, QStringLiteral("--import takes a code 0-7 or the words 再生済, 未再生, "
                                                         "消去済, 録音情報のみ"));
                    }
                    logic.setImportTick(static_cast<CFindSetLogic::ImportBox>(box), true);
                }
            }
        }
        if (!logic.accept()) {
            return CCliCommands::Usage;
        }
        model.setCriteria(criteria);
        model.setKeepSort(0);
        if (model.selectDisplay() == CListModel::SelectOutcome::NothingMatched) {
            return CCliCommands::Failed;
        }
    } else if (notDownloaded) {
        model.notDownloadedDisplay(1);
    }

    if (sortColumn >= 0) {
        // Header clicks until the column runs the asked way (the first click on "BOX番号" turns it round).
        model.headerClick(sortColumn);
        if (model.sortState().arrowImage() != sortDirection) {
            model.headerClick(sortColumn);
        }
    }
    return CCliCommands::Ok;
}
