#include "support/CScriptedUi.h"

class CScriptedProgressView : public CProgressView {
public:
    CScriptedProgressView(CScriptedUi& ui, int id, const QString& title) : m_ui(ui), m_id(id), m_title(title) {}
    ~CScriptedProgressView() override { close(); }
    void setText(const QString& text) override { record("text", text); }
    void setCounterText(const QString& text) override { record("counter", text); }
    void setRange(int minimum, int maximum) override { record("range", QString("%1..%2").arg(minimum).arg(maximum)); }
    void setPosition(int position) override { record("pos", QString::number(position)); }
    void repaint() override { record("repaint", QString()); }
    void setCancelEnabled(bool enabled) override { record("cancel", enabled ? "on" : "off"); }
    void close() override {
        if (!m_closed) {
            m_closed = true;
            record("close", QString());
            m_ui.progressClosed(m_id);
        }
    }

private:
    void record(const char* what, const QString& value) {
        m_ui.progressEvents.append({m_title, QString::fromLatin1(what), value});
    }
    CScriptedUi& m_ui;
    int m_id;
    QString m_title;
    bool m_closed = false;
};

MsgResult CScriptedUi::messageBox(const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons) {
    MsgResult answer = MsgResult::Ok;
    if (buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel) {
        answer = MsgResult::Yes;
    }
    if (buttons != MsgButtons::Ok && !replies.empty()) {
        answer = replies.front();
        replies.pop_front();
    }
    if (onMessage) {
        onMessage(text, buttons);
    }
    messages.append({text, caption, icon, buttons, answer});
    return answer;
}

std::unique_ptr<CProgressView> CScriptedUi::createProgressView(const ProgressLook& look) {
    const int id = m_nextId++;
    m_open.append({id, look.title, look.onCancel});
    progressEvents.append({look.title, "open", look.text});
    if (!look.counterText.isEmpty()) {
        progressEvents.append({look.title, "counter", look.counterText});
    }
    return std::make_unique<CScriptedProgressView>(*this, id, look.title);
}

void CScriptedUi::progressClosed(int id) {
    for (int i = 0; i < m_open.size(); ++i) {
        if (m_open[i].id == id) {
            m_open.removeAt(i);
            return;
        }
    }
}

void CScriptedUi::pressCancel(const QString& title) {
    for (int i = m_open.size() - 1; i >= 0; --i) {
        if (m_open[i].title == title) {
            auto cb = m_open[i].onCancel;
            if (cb) {
                cb();
            }
            return;
        }
    }
}

bool CScriptedUi::hasOpenProgress(const QString& title) const {
    for (const auto& p : m_open) {
        if (p.title == title) {
            return true;
        }
    }
    return false;
}

QStringList CScriptedUi::messageTexts() const {
    QStringList out;
    for (const auto& m : messages) {
        out << m.text;
    }
    return out;
}

void CScriptedUi::dispatchPendingEvents(int /*maxEvents*/) {
    ++dispatchCalls;
    if (onDispatch) {
        onDispatch(dispatchCalls);
    }
}

void CScriptedUi::sleepMs(int /*ms*/) {
    ++sleepCalls;
}

void CScriptedUi::setMainWindowEnabled(bool enabled) {
    if (!enabled) {
        ++mainWindowDisables;
    }
    mainWindowEnabled = enabled;
}

void CScriptedUi::activateMainWindow() {
    ++activations;
}

QString CScriptedUi::chooseFolder(const QString&, const QString&) {
    return folderChoice;
}

QString CScriptedUi::chooseOpenFile(const QString&, const QString&, const QString&) {
    return openFileChoice;
}

QString CScriptedUi::chooseSaveFile(const QString&, const QString&, const QString&) {
    return saveFileChoice;
}

bool CScriptedUi::openWithDefaultApplication(const QString& path) {
    openedFiles << path;
    return openSucceeds;
}
