#pragma once

#include "store/FILESTS_INFO.h"

#include <QString>

class CUserInterface;

// The decisions of the recording information editor: a private copy of one message's record read from its file,
// the texts it shows, the checks on "OK", the question, and the record written back into the same file.
class CInfoEditLogic {
public:
    // The six fields the user may change; the dialog starts with the record's values.
    struct Entries {
        QString title;
        QString callerNo;
        QString callerName;
        QString memo;
        bool protect = false; // "保護"
        bool flag = false;    // "あり"
    };
    static constexpr int TITLE_MAX = 40;
    static constexpr int CALLERNO_MAX = 32;
    static constexpr int CALLERNAME_MAX = 32;
    static constexpr int MEMO_MAX = 80;

    enum class Outcome {
        Written,    // the record was written; the dialog closes with OK
        Refused,    // an entry breaks its limit or holds ","; told "入力値エラーです。"
        NotWritten, // the file could not be read ("入力値エラーです。") or rewritten (NotWrittenText)
        Declined    // the user answered no to the question
    };

    // root: the download root, cut from the front of the shown file name.
    CInfoEditLogic(CUserInterface& ui, const QString& file, const QString& root = QString());

    // Whether the file gave a whole record.
    bool readOk() const { return m_readOk; }
    const FILESTS_INFO& record() const { return m_rec; }
    Entries& entries() { return m_entries; }

    // The read-only texts.
    QString fileNameText() const;
    QString playedText() const;
    QString importText() const;

    // Whether the entries pass the checks (text CP932 holds whole, byte counts of its form, no ",").
    bool entriesValid() const;
    // The first entry that fails and why ("title: 42 bytes in CP932, at most 40"); empty when all pass.
    QString entriesProblem() const;
    // The same in the editor's words ("タイトルは40バイト（全角20文字）までです（42バイト）。").
    QString entriesProblemText() const;
    // The message when the file does not take the record.
    static QString NotWrittenText(const QString& file) {
        return QStringLiteral("ファイルに書き込めません。\n%1").arg(file);
    }
    // "OK": checks, asks, writes.
    Outcome accept();

private:
    CUserInterface& m_ui;
    QString m_file;
    QString m_root;
    FILESTS_INFO m_rec;
    bool m_readOk = false;
    Entries m_entries;
};
