#pragma once

#include "operations/CDownloadStartLogic.h"
#include "platform/DlgOutcome.h"

#include <QList>
#include <QString>

// "ボックス選択": the selected download over ticked box folders of the current download folder.
class CSelDownLogic : public CDownloadStartLogic {
public:
    struct Row {
        QString boxNo;
        bool ticked = false;
    };

    CSelDownLogic(CUserInterface& ui, CKeldaSettings& doc, CUnitBoxOps& unit) : CDownloadStartLogic(ui, doc, unit) {}

    // Fills both lists; DlgOutcome::EndCancel (after its message) when the folder holds no box folder at all.
    DlgOutcome open();
    QString folderPath() const;
    QList<Row>& answering() { return m_answering; }
    QList<Row>& extension() { return m_extension; }
    static void tickAll(QList<Row>& rows, bool ticked);

    DlgOutcome download(CBoxDownload::Kind kind, const std::function<void()>& hide = {});

private:
    QList<Row> m_answering;
    QList<Row> m_extension;
};
