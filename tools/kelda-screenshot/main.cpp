#include "list/CBoxOpenLogic.h"
#include "store/CPrivateProfile.h"
#include "support/CSampleFolder.h"
#include "ui/CJapaneseFont.h"
#include "ui/CWidgetUi.h"
#include "ui/list/CBoxOpenDlg.h"
#include "ui/list/CChildFrame.h"
#include "ui/list/CDataListCtrl.h"
#include "ui/list/CListDispView.h"
#include "ui/shell/CMainFrame.h"

#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: kelda-screenshot OUT.png [BOXDIALOG.png]" << Qt::endl;
        return 2;
    }
    CJapaneseFont::install();
    QTemporaryDir dir;
    const QString root = dir.filePath("download");
    const QString name = QStringLiteral("本社2026");
    CSampleFolder::makeDownloadFolder(root, name, {"01", "02", "10"}, {"100", "101", "102"}, 9);

    const QString ini = dir.filePath("KELDA.ini");
    auto w = [&](const QString& s, const QString& k, const QString& v) { CPrivateProfile::writeString(ini, s, k, v); };
    auto wi = [&](const QString& s, const QString& k, int v) { w(s, k, QString::number(v)); };
    w("FOLDER", "FOLDER", root + '/');
    w("DISP", "FOLDERNAME", name);
    wi("DISP", "NUM", 2);
    w("DISP", "DISP1", QStringLiteral("留守録BOX：01,02"));
    w("DISP", "FOLDERNAME1", name);
    w("DISP", "DISP2", QStringLiteral("留守録BOX：10,  内線BOX：100,101"));
    w("DISP", "FOLDERNAME2", name);
    wi("Window", "Left", 0);
    wi("Window", "Top", 0);
    wi("Window", "Right", 1280);
    wi("Window", "Bottom", 800);
    wi("Window1", "Left", 0);
    wi("Window1", "Top", 0);
    wi("Window1", "Right", 640);
    wi("Window1", "Bottom", 560);
    wi("Window1", "showCmd", 1);
    wi("Window1", "ZOrder", 2);
    wi("Window2", "Left", 640);
    wi("Window2", "Top", 0);
    wi("Window2", "Right", 1270);
    wi("Window2", "Bottom", 560);
    wi("Window2", "showCmd", 1);
    wi("Window2", "ZOrder", 1);

    CWidgetUi ui;
    int rc = 1;
    {
        CMainFrame frame(ui, ini);
        ui.setMainWindow(&frame);
        frame.startUp();
        for (int i = 0; i < 20; ++i) {
            QCoreApplication::processEvents();
        }
        // A voice message selected in the active list: the bar shows the states that follow from it.
        if (CChildFrame* active = frame.activeList()) {
            active->view()->list()->selectRow(2);
            Q_EMIT active->view()->factsChanged();
        }
        frame.updateCommandStates();
        frame.refreshStatus(false);
        QCoreApplication::processEvents();
        const QPixmap shot = frame.grab();
        rc = shot.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
        if (argc > 2) {
            // The box-opening dialog over the same folder: the boxes the two lists show are greyed.
            CBoxOpenLogic logic(frame.doc(), ui);
            CBoxOpenLogic::toggle(logic.naisen(), 0);
            CBoxOpenDlg dlg(logic, &frame);
            dlg.show();
            QCoreApplication::processEvents();
            if (!dlg.grab().save(QString::fromLocal8Bit(argv[2]))) {
                rc = 1;
            }
        }
        ui.setMainWindow(nullptr);
    }
    return rc;
}
