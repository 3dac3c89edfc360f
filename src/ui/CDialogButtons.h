#pragma once

#include <QString>

#include <functional>
#include <vector>

class QBoxLayout;
class QDialog;
class QPushButton;
class QWidget;

// The row of buttons under a dialog's contents: the dialog's own button ("OK", or what it names) and "キャンセル",
// in a QDialogButtonBox. The own button is the default one (Return presses it) and runs onPress, which decides
// whether the dialog closes; "キャンセル" and Esc reject the dialog (through its reject(), which a dialog may
// override to refuse while something runs).
class CDialogButtons {
public:
    // Adds the row at the end of layout; returns the dialog's own button.
    static QPushButton* addOkCancel(QDialog& dialog, QBoxLayout& layout, std::function<void()> onPress,
                                    const QString& pressText = QStringLiteral("OK"));

    // A row of kinds to choose from, then "キャンセル", left to right in the order given (the order is part of
    // what the dialog asks, so no desktop's button order applies). Each press runs its choice's handler.
    struct Choice {
        QString text;
        std::function<void()> press;
    };
    // defaultIndex: the button Return presses; choices.size() names "キャンセル". Returns the choices' buttons and
    // "キャンセル" last.
    static std::vector<QPushButton*> addChoices(QDialog& dialog, QBoxLayout& layout, std::vector<Choice> choices,
                                                std::size_t defaultIndex);

    // "全選択" and "全未選択" side by side (children of parent) at the end of layout, under a tick list: each press
    // runs setAll with the tick it sets; setAll redraws the list.
    static void addAllNone(QDialog& dialog, QWidget* parent, QBoxLayout& layout, std::function<void(bool)> setAll);
};
