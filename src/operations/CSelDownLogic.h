#pragma once

#include "operations/CBoxDownload.h"

#include <QList>
#include <QString>

#include <functional>

class CKeldaSettings;
class CUnitBoxOps;
class CUserInterface;

// "ボックス選択": the selected download over ticked box folders of the current download folder.
class CSelDownLogic {
public:
    enum Outcome { Stay, EndOk, EndCancel };
    struct Row {
        QString boxNo;
        bool ticked = false;
    };

    CSelDownLogic(CUserInterface& ui, CKeldaSettings& doc, CUnitBoxOps& unit) : m_ui(ui), m_doc(doc), m_unit(unit) {}

    // Fills both lists; EndCancel (after its message) when the folder holds no box folder at all.
    Outcome open();
    QString folderPath() const;
    QList<Row>& answering() { return m_answering; }
    QList<Row>& extension() { return m_extension; }
    static void tickAll(QList<Row>& rows, bool ticked);

    void tick();
    bool buttonsEnabled() const { return m_enabled; }
    Outcome download(CBoxDownload::Kind kind, const std::function<void()>& hide = {});
    // The outcome of the last download run.
    const CBoxDownload::Outcome& lastResult() const { return m_result; }

private:
    CUserInterface& m_ui;
    CKeldaSettings& m_doc;
    CUnitBoxOps& m_unit;
    QList<Row> m_answering;
    QList<Row> m_extension;
    bool m_enabled = true;
    CBoxDownload::Outcome m_result;
};
