#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// The shape the export and import dialogs share: a text line, a folder and a file field with "設定", a progress
// bar whose place is kept while it is hidden, and OK/キャンセル. The dialog follows its logic through follow(),
// which reads what the logic shows after every change; what "設定", OK and キャンセル do stays the dialog's own.
class CPathFileDlg : public QDialog {
    Q_OBJECT
public:
    QLineEdit* folderField() const { return m_folder; }
    QLineEdit* fileField() const { return m_file; }
    QPushButton* okButton() const { return m_ok; }
    QProgressBar* progressBar() const { return m_progress; }
    QLabel* textLine() const { return m_text; }

    virtual void pressChoose() = 0;
    virtual void pressOk() = 0;

protected:
    // groupTitle: the frame around the two fields ("エクスポート先", "インポート元").
    CPathFileDlg(const QString& groupTitle, QWidget* parent);

    // What the logic shows; the export and import logics answer the same questions.
    struct Shown {
        QString title;
        QString text;
        QString folder;
        QString file;
        bool okEnabled = false;
        bool progressVisible = false;
        int progressMax = 0;
        int progressPos = 0;
    };
    template <typename Logic> static Shown shownBy(const Logic& logic) {
        return {logic.title(),           logic.text(),        logic.folder(),     logic.file(), logic.okEnabled(),
                logic.progressVisible(), logic.progressMax(), logic.progressPos()};
    }

    // Edits of the fields go to the logic, its changes come back to the dialog; then the logic is opened.
    template <typename Logic> void follow(Logic& logic) {
        followEdits([&logic](const QString& t) { logic.setFolder(t); },
                    [&logic](const QString& t) { logic.setFile(t); }, [&logic] { return logic.okEnabled(); });
        logic.changed = [this, &logic] { showState(shownBy(logic)); };
        logic.open();
    }

private:
    void followEdits(std::function<void(const QString&)> folderEdited, std::function<void(const QString&)> fileEdited,
                     std::function<bool()> okEnabled);
    void showState(const Shown& shown);

    QLabel* m_text;
    QLineEdit* m_folder;
    QLineEdit* m_file;
    QPushButton* m_choose;
    QPushButton* m_ok;
    QProgressBar* m_progress;
};
