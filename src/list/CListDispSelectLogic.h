#pragma once

#include <QString>
#include <QStringList>

class CKeldaSettings;
class CUserInterface;

// The decisions of the column dialog: the removed and the shown titles, the four buttons that move them, when
// "OK" may be pressed, and how the choice is saved to the settings block and its file.
class CListDispSelectLogic {
public:
    CListDispSelectLogic(CKeldaSettings& doc, CUserInterface& ui, const QString& iniFile);

    const QStringList& removed() const { return m_removed; }
    const QStringList& shown() const { return m_shown; }
    // "OK" stays disabled until a button has changed something.
    bool changed() const { return m_changed; }

    // The buttons; each returns the index of the moved title in its new list (-1 nothing moved).
    // "追加": the removed title at index goes to the end of the shown list.
    int add(int removedIndex);
    // The shown title at index goes to the end of the removed list.
    int remove(int shownIndex);
    // The shown title at index moves one place up or down (never past either end).
    int moveUp(int shownIndex);
    int moveDown(int shownIndex);

    // "OK" after its question: false when the user said no or nothing would be shown (the dialog stays open).
    bool accept();
    // "リセット" after its question: the reset values are saved at once. False when the user said no.
    bool reset();

private:
    bool save();

    CKeldaSettings& m_doc;
    CUserInterface& m_ui;
    QString m_iniFile;
    QStringList m_removed;
    QStringList m_shown;
    bool m_changed = false;
};
