#pragma once

#include "operations/CMsgCopy.h"
#include "platform/DlgOutcome.h"

#include <QList>
#include <QString>

class CUserInterface;

// "音声メッセージ移動・コピー": the choice of one target box folder of the current download folder and of move or
// copy.
class CMsgCopyLogic {
public:
    struct Row {
        QString boxNo;
        bool checked = false;
    };

    CMsgCopyLogic(CUserInterface& ui, const QString& downloadFolder) : m_ui(ui), m_folder(downloadFolder) {}

    // Fills both lists from the box folders; DlgOutcome::EndCancel (after its message) when there is none at all.
    DlgOutcome open();
    const QString& folderPath() const { return m_folder; }
    const QList<Row>& answering() const { return m_answering; }
    const QList<Row>& extension() const { return m_extension; }
    // A click on a row's check cell: that row becomes the only checked one of both lists.
    void check(bool extensionList, int row);
    // Checks the row of a target written "rusuroku/NNNN" or "naisen/NNNN"; false when there is no such row.
    bool checkTarget(const QString& target);
    // "移動" (0) or "コピー" (1): asks, then ends with the checked row as the target.
    DlgOutcome choose(CMsgCopy::Kind kind);
    CMsgCopy::Kind kind() const { return m_kind; }
    // "rusuroku/NNNN" or "naisen/NNNN", relative to the download folder.
    const QString& target() const { return m_target; }
    // How many messages are chosen, for the question to name with the target (0: not known, not named).
    void setChosenCount(int count) { m_count = count; }

private:
    CUserInterface& m_ui;
    QString m_folder;
    QList<Row> m_answering;
    QList<Row> m_extension;
    CMsgCopy::Kind m_kind = CMsgCopy::Kind::Copy;
    QString m_target;
    int m_count = 0;
    // The checked row as a target ("rusuroku/0002"), the answering-machine list first; empty when none.
    QString checkedTarget() const;
};
