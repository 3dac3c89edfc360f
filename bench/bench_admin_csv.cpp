// (a) The list export of a 10,000-row list window through the export dialog, against a bare loop in the same run
// that joins the same cell texts, converts them to CP932 and writes them. (b) The import of a phone book of 1,000
// extension lines into 1,000 box folders through the import dialog, against a bare loop that writes the same
// 1,000 "inf.ini" files with the private-profile layer. The last line holds the larger ratio.
#include "CBenchRuns.h"
#include "admin/CExportSetLogic.h"
#include "admin/CImportSetLogic.h"
#include "platform/CCp932.h"
#include "shell/CKELDADoc.h"
#include "store/CFileMng.h"
#include "store/CPrivateProfile.h"
#include "support/CSampleFolder.h"
#include "ui/CJapaneseFont.h"
#include "ui/CWidgetUi.h"
#include "ui/admin/CExportSetDlg.h"
#include "ui/admin/CImportSetDlg.h"
#include "ui/list/CListDispView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

QString line(const QString& name, double ours, double baseline) {
    return QStringLiteral("%1 ratio=%2 ours=%3 baseline=%4")
        .arg(name)
        .arg(ours / baseline, 0, 'f', 2)
        .arg(ours, 0, 'f', 4)
        .arg(baseline, 0, 'f', 4);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CJapaneseFont::install();
    QTextStream out(stdout);
    // "export" or "import" runs one half alone (its line only).
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QTemporaryDir dir;
    CWidgetUi ui;
    const QString root = dir.filePath("root");
    const int runs = 5;

    std::vector<double> oursA{1};
    std::vector<double> baseA{1};
    std::vector<double> oursB{1};
    std::vector<double> baseB{1};
    if (only != QLatin1String("import")) {
        oursA.clear();
        baseA.clear();
        // (a) A list window of 10,000 rows with every column.
        const QStringList boxes = {"01", "02", "03", "04"};
        const int perBox = 2500;
        for (int b = 0; b < boxes.size(); ++b) {
            for (int k = 0; k < perBox; ++k) {
                CSampleFolder::Message m;
                m.voice = (k % 5) != 0;
                m.importStatus = 1 + (k % 2);
                m.flag = (k % 3) == 0 ? 1 : 0;
                m.dateTime = QStringLiteral("2026/%1/%2 %3:%4")
                                 .arg(1 + k % 12, 2, 10, QChar('0'))
                                 .arg(1 + k % 28, 2, 10, QChar('0'))
                                 .arg(k % 24, 2, 10, QChar('0'))
                                 .arg(k % 60, 2, 10, QChar('0'));
                m.callerNo = QStringLiteral("03%1").arg(10000000 + k * 37);
                m.callerName = QStringLiteral("発信者%1").arg(k % 97);
                CSampleFolder::writeMessage(root + "/dl/rusuroku/" + boxes[b], boxes[b], b * perBox + k + 1, m);
            }
        }
        CKELDADoc doc;
        doc.folder = root + '/';
        doc.folderName = "dl";
        doc.num = 1;
        doc.slotFolderName[0] = "dl";
        doc.slotDisp[0] = QStringLiteral("留守録BOX：01,02,03,04");
        doc.resetColumns();
        CWidgetUi ui;
        auto view = std::make_unique<CListDispView>(doc, 1, ui);
        view->load(CListModel::Load::Fresh);
        const CListModel& model = view->model();
        if (model.rowCount() != boxes.size() * perBox) {
            out << "admin-csv: expected " << boxes.size() * perBox << " rows, got " << model.rowCount() << Qt::endl;
            return 1;
        }
        const QString target = dir.filePath("out");
        QDir().mkpath(target);

        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            {
                QFile f(target + QStringLiteral("/base%1.csv").arg(r));
                if (!f.open(QIODevice::WriteOnly)) {
                    return 1;
                }
                for (int row = 0; row < model.rowCount(); ++row) {
                    QString text;
                    for (int c = 0; c < model.columnCount(); ++c) {
                        text += model.cellText(row, c);
                        text += QLatin1Char(',');
                    }
                    text.back() = QLatin1Char('\n');
                    f.write(CCp932::fromUnicode(text));
                }
            }
            baseA.push_back(t.nsecsElapsed() / 1e9);

            doc.exportPath = target;
            doc.exportName = QStringLiteral("ours%1.csv").arg(r);
            t.restart();
            {
                CExportSetLogic logic(ui, doc, &model);
                CExportSetDlg dlg(logic, nullptr);
                dlg.show();
                if (logic.ok() != CExportSetLogic::Ok::Exported) {
                    out << "admin-csv: the export failed" << Qt::endl;
                    return 1;
                }
            }
            oursA.push_back(t.nsecsElapsed() / 1e9);
        }
        const qint64 exported = QFileInfo(target + "/ours0.csv").size();
        if (exported < QFileInfo(target + "/base0.csv").size()) {
            out << "admin-csv: the export wrote less than the bare loop" << Qt::endl;
            return 1;
        }
        view.reset();
    }

    if (only != QLatin1String("export")) {
        oursB.clear();
        baseB.clear();

        // (b) 1,000 extension boxes, each with an "inf.ini" from a folder download, and a phone book naming them all.
        const QString dl2 = root + "/book";
        const int count = 1000;
        QByteArray book = "内線電話帳\nNo,内線,名称\n";
        QStringList names;
        for (int k = 0; k < count; ++k) {
            const QString box = dl2 + QStringLiteral("/naisen/%1").arg(2000 + k);
            QDir().mkpath(box);
            CFileMng::SetBoxName(box, QString());
            CFileMng::SetMake(box, QStringLiteral("0"));
            names << QStringLiteral("社員%1").arg(k);
            book += CCp932::fromUnicode(QStringLiteral("%1,%2,%3,\n").arg(k + 1).arg(2000 + k).arg(names.last()));
        }
        QDir().mkpath(dl2 + "/rusuroku/0001");
        const QString csv = dir.filePath("book.csv");
        {
            QFile f(csv);
            if (!f.open(QIODevice::WriteOnly)) {
                return 1;
            }
            f.write(book);
        }
        CKELDADoc doc2;
        doc2.folder = root + '/';
        doc2.folderName = "book";
        doc2.importPath = dir.path();
        doc2.importName = "book.csv";

        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            for (int k = 0; k < count; ++k) {
                CPrivateProfile::writeString(dl2 + QStringLiteral("/naisen/%1/inf.ini").arg(2000 + k), "INF", "NAME",
                                             names[k]);
            }
            baseB.push_back(t.nsecsElapsed() / 1e9);

            t.restart();
            {
                CImportSetLogic logic(ui, doc2);
                CImportSetDlg dlg(logic, nullptr);
                dlg.show();
                if (logic.ok() != CImportSetLogic::Ok::Imported) {
                    out << "admin-csv: the import failed" << Qt::endl;
                    return 1;
                }
            }
            oursB.push_back(t.nsecsElapsed() / 1e9);
        }
        if (CFileMng::GetBoxName(dl2 + "/naisen/2999") != names.last()) {
            out << "admin-csv: the import did not write the names" << Qt::endl;
            return 1;
        }
    }

    const double ra = CBenchRuns::median(oursA) / CBenchRuns::median(baseA);
    const double rb = CBenchRuns::median(oursB) / CBenchRuns::median(baseB);
    const QString a = line(QStringLiteral("admin-csv-export"), CBenchRuns::median(oursA), CBenchRuns::median(baseA));
    const QString b = line(QStringLiteral("admin-csv-import"), CBenchRuns::median(oursB), CBenchRuns::median(baseB));
    if (only == QLatin1String("export")) {
        out << a << Qt::endl;
    } else if (only == QLatin1String("import")) {
        out << b << Qt::endl;
    } else {
        // The larger ratio last.
        out << (ra > rb ? b : a) << Qt::endl;
        out << (ra > rb ? a : b) << Qt::endl;
    }
    return 0;
}
