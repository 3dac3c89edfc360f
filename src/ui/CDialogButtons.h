#pragma once

#include <QString>

#include <functional>

class QBoxLayout;
class QDialog;
class QPushButton;

// The row of buttons under a dialog's contents: the dialog's own button ("OK", or what it names) and "キャンセル",
// in a QDialogButtonBox. The own button is the default one (Return presses it) and runs onPress, which decides
// whether the dialog closes; "キャンセル" and Esc reject the dialog (through its reject(), which a dialog may
// override to refuse while something runs).
class CDialogButtons {
public:
    // Adds the row at the end of layout; returns the dialog's own button.
    static QPushButton* addOkCancel(QDialog& dialog, QBoxLayout& layout, std::function<void()> onPress,
                                    const QString& pressText = QStringLiteral("OK"));
};
