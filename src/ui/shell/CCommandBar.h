#pragma once

#include "shell/CMainFrameLogic.h"

#include <QWidget>

#include <array>

class QPushButton;
class CWrapField;

// The command bar at the top of the main frame: sixteen buttons and the folder and box fields. "設定",
// "ウィンドウ" and "バージョン" keep to the right edge; the fields reach it.
class CCommandBar : public QWidget {
    Q_OBJECT
public:
    explicit CCommandBar(QWidget* parent);
    QPushButton* button(CMainFrameLogic::Command cmd) const { return m_buttons[cmd]; }
    CWrapField* folderField() const { return m_folder; }
    CWrapField* boxField() const { return m_box; }
    QSize sizeHint() const override;
    // The buttons in the order Tab visits them: row by row, left to right.
    QList<QPushButton*> tabOrder() const;

Q_SIGNALS:
    void command(int cmd);

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void layoutBar();
    int barHeight() const;
    std::array<QPushButton*, CMainFrameLogic::BUTTON_COUNT> m_buttons{};
    CWrapField* m_folder;
    CWrapField* m_box;
};
