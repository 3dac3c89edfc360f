#pragma once

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <functional>

// Small aids of the dialog tests: folders made in one call, a modal dialog driven from the event loop, a picture
// of a dialog for a person to look at, a button found by its text.
class CDialogTestKit {
public:
    static void mk(const QString& p) { QDir().mkpath(p); }

    // Drives the modal dialog the next exec() opens, then lets exec() return.
    template <class D> static void onNextModal(std::function<void(D*)> act) {
        QTimer::singleShot(0, [act] {
            auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
            QVERIFY(d);
            act(d);
            if (d->isVisible()) {
                d->reject();
            }
        });
    }

    static void render(QWidget& w, const QString& name) {
        w.adjustSize();
        w.grab().save(QDir::temp().filePath("kelda-" + name + ".png"));
    }

    static QPushButton* button(QWidget& w, const QString& text, int nth = 0) {
        for (QPushButton* b : w.findChildren<QPushButton*>()) {
            if (b->text() == text && nth-- == 0) {
                return b;
            }
        }
        return nullptr;
    }
};
