#include "cli/CConsoleUi.h"

#include "cli/CConsoleProgressView.h"

#include <unistd.h>

#include <chrono>
#include <thread>

CConsoleUi::CConsoleUi(bool answerYes, std::FILE* err)
    : m_err(err), m_yes(answerYes), m_terminal(isatty(fileno(err)) == 1) {}

MsgResult CConsoleUi::messageBox(const QString& text, const QString& caption, MsgIcon, MsgButtons buttons) {
    QString line = caption + QStringLiteral(": ") + text;
    MsgResult answer = MsgResult::Ok;
    if (buttons != MsgButtons::Ok) {
        // A question: only --yes says yes; anything else is the answer that changes nothing.
        const bool yes = m_yes && !m_refused;
        answer = yes ? (buttons == MsgButtons::OkCancel ? MsgResult::Ok : MsgResult::Yes)
                     : (buttons == MsgButtons::OkCancel ? MsgResult::Cancel : MsgResult::No);
        line += yes ? QStringLiteral(" -> yes (--yes)") : QStringLiteral(" -> no (give --yes to go ahead)");
        m_refused = m_refused || !yes;
    }
    note(line);
    return answer;
}

std::unique_ptr<CProgressView> CConsoleUi::createProgressView(const ProgressLook& look) {
    return std::make_unique<CConsoleProgressView>(look, m_terminal ? m_err : nullptr);
}

void CConsoleUi::dispatchPendingEvents(int) {}

void CConsoleUi::sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void CConsoleUi::setMainWindowEnabled(bool) {}

void CConsoleUi::activateMainWindow() {}

QString CConsoleUi::chooseFolder(const QString&, const QString&) {
    return QString();
}

QString CConsoleUi::chooseOpenFile(const QString&, const QString&, const QString&) {
    return QString();
}

QString CConsoleUi::chooseSaveFile(const QString&, const QString&, const QString&) {
    return QString();
}

bool CConsoleUi::openWithDefaultApplication(const QString&) {
    return false;
}

void CConsoleUi::note(const QString& text) {
    const QByteArray bytes = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), m_err);
    std::fflush(m_err);
}
