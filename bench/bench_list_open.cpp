// Opening a list window of 10,000 messages (four boxes of 2,500) until every row is in the model, against
// reading the same boxes' records alone. Also reports the memory the open list holds.
// Arguments: the messages a box holds (default 2500); "cold" empties the system's file cache before every
// timed load of either side (it needs the right to write /proc/sys/vm/drop_caches).

#include "CBenchRuns.h"
#include "shell/CKELDADoc.h"
#include "store/CFileMng.h"
#include "support/CSampleFolder.h"
#include "ui/CJapaneseFont.h"
#include "ui/CWidgetUi.h"
#include "ui/list/CDataListCtrl.h"
#include "ui/list/CListDispView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelectionModel>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {
long rssKb() {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return 0;
}

// The window's interface, noting the longest stretch in which the load did not offer to handle events (repaints,
// input, the progress window): how long the window could seem frozen while the list opens.
class CWatchedUi : public CWidgetUi {
public:
    void start() {
        m_since.start();
        longest = 0;
    }
    double stop() {
        note();
        return longest;
    }
    void dispatchPendingEvents(int maxEvents) override {
        note();
        CWidgetUi::dispatchPendingEvents(maxEvents);
    }
    double longest = 0;

private:
    void note() {
        if (m_since.isValid()) {
            longest = std::max(longest, m_since.nsecsElapsed() / 1e6);
            m_since.restart();
        }
    }
    QElapsedTimer m_since;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CJapaneseFont::install();
    QTextStream out(stdout);

    int perBox = 2500;
    bool cold = false;
    for (int a = 1; a < argc; ++a) {
        const QString arg = QString::fromLocal8Bit(argv[a]);
        if (arg == QLatin1String("cold")) {
            cold = true;
        } else if (arg.toInt() > 0) {
            perBox = arg.toInt();
        }
    }
    if (cold && !CBenchRuns::dropCaches()) {
        out << "list-open: cannot empty the file cache (needs root)" << Qt::endl;
        return 2;
    }

    QTemporaryDir dir;
    const QString root = dir.filePath("root");
    const QStringList boxes = {"01", "02", "03", "04"};
    {
        const QString folder = root + "/dl/rusuroku/";
        for (int b = 0; b < boxes.size(); ++b) {
            for (int k = 0; k < perBox; ++k) {
                CSampleFolder::Message m;
                m.voice = (k % 5) != 0;
                m.importStatus = 1 + (k % 2);
                m.dateTime = QStringLiteral("2026/%1/%2 %3:%4")
                                 .arg(1 + k % 12, 2, 10, QChar('0'))
                                 .arg(1 + k % 28, 2, 10, QChar('0'))
                                 .arg(k % 24, 2, 10, QChar('0'))
                                 .arg(k % 60, 2, 10, QChar('0'));
                m.callerNo = QStringLiteral("03%1").arg(10000000 + k * 37);
                m.callerName = QStringLiteral("発信者%1").arg(k % 97);
                CSampleFolder::writeMessage(folder + boxes[b], boxes[b], b * perBox + k + 1, m);
            }
        }
    }

    CKELDADoc doc;
    doc.folder = root + '/';
    doc.folderName = "dl";
    doc.num = 1;
    doc.slotFolderName[0] = "dl";
    doc.slotDisp[0] = QStringLiteral("留守録BOX：01,02,03,04");
    doc.resetColumns();
    CWatchedUi ui;

    // Warm the file cache so that both sides read from memory.
    {
        std::vector<FILESTS_INFO> warm;
        for (const auto& b : boxes) {
            CFileMng::LoadRecords(root + "/dl/rusuroku/" + b, warm);
        }
    }

    // Memory of one open list above the program without it.
    QCoreApplication::processEvents();
    const long before = rssKb();
    int rows = 0;
    {
        auto view = std::make_unique<CListDispView>(doc, 1, ui);
        view->resize(1000, 600);
        view->show();
        ui.start();
        view->load(CListModel::Load::Fresh);
        const double frozen = ui.stop();
        QCoreApplication::processEvents();
        rows = view->model().rowCount();
        const long after = rssKb();
        out << "list-open: rows=" << rows << " memory=" << QString::number((after - before) / 1024.0, 'f', 1)
            << " MB above the empty program ("
            << QString::number(rows > 0 ? (after - before) * 1024.0 / rows : 0.0, 'f', 0) << " bytes a row)"
            << Qt::endl;
        out << "list-open: longest stretch without handling events while opening " << QString::number(frozen, 'f', 1)
            << " ms" << Qt::endl;

        // A reload after an operation, keeping three selected messages (for information).
        std::vector<double> reloads;
        for (int r = 0; r < 5; ++r) {
            for (int k : {1, rows / 2, rows - 1}) {
                view->list()->selectionModel()->select(view->list()->model()->index(k, 0),
                                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
            }
            QElapsedTimer t;
            t.start();
            view->reload(CListModel::Sort::Keep, CListModel::Columns::Same);
            reloads.push_back(t.nsecsElapsed() / 1e9);
        }
        out << "list-open: reload keeping the selection " << QString::number(CBenchRuns::median(reloads), 'f', 4)
            << " s" << Qt::endl;
    }
    if (rows != boxes.size() * perBox) {
        out << "list-open: expected " << boxes.size() * perBox << " rows" << Qt::endl;
        return 1;
    }

    const int runs = 5;
    std::vector<double> ours;
    std::vector<double> baseline;
    for (int r = 0; r < runs; ++r) {
        if (cold) {
            CBenchRuns::dropCaches();
        }
        QElapsedTimer t;
        t.start();
        std::vector<FILESTS_INFO> recs;
        for (const auto& b : boxes) {
            CFileMng::LoadRecords(root + "/dl/rusuroku/" + b, recs);
        }
        baseline.push_back(t.nsecsElapsed() / 1e9);

        if (cold) {
            CBenchRuns::dropCaches();
        }
        t.restart();
        auto view = std::make_unique<CListDispView>(doc, 1, ui);
        view->load(CListModel::Load::Fresh);
        ours.push_back(t.nsecsElapsed() / 1e9);
        if (view->model().rowCount() != rows || recs.size() != size_t(rows)) {
            out << "list-open: row count changed between runs" << Qt::endl;
            return 1;
        }
    }
    const double o = CBenchRuns::median(ours);
    const double b = CBenchRuns::median(baseline);
    out << "list-open: per row ours=" << QString::number(o * 1e6 / rows, 'f', 2)
        << " us baseline=" << QString::number(b * 1e6 / rows, 'f', 2) << " us" << (cold ? " (cold cache)" : "")
        << Qt::endl;
    out << "list-open ratio=" << QString::number(o / b, 'f', 2) << " ours=" << QString::number(o, 'f', 4)
        << " baseline=" << QString::number(b, 'f', 4) << Qt::endl;
    return 0;
}
