#include "shell/CWindowPlacement.h"
#include "store/CPrivateProfile.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(CWindowPlacement::WinRect)

class TestWindowPlacement : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void mainRectCorrection() {
        using R = CWindowPlacement::WinRect;
        QCOMPARE(CWindowPlacement::correctMainRect({1500, 100, 2100, 500}, 1920, 1080), R({1321, 100, 1921, 500}));
        QCOMPARE(CWindowPlacement::correctMainRect({-50, -20, 700, 400}, 1920, 1080), R({1, 1, 751, 421}));
        // Wider than the screen: ends at x = 1.
        QCOMPARE(CWindowPlacement::correctMainRect({100, 0, 2500, 1200}, 1920, 1080).left, 1);
        QCOMPARE(CWindowPlacement::correctMainRect({100, 0, 2500, 1200}, 1920, 1080).top, 1);
        const int a = CWindowPlacement::ABSENT;
        QCOMPARE(CWindowPlacement::correctMainRect({a, a, a, a}, 1920, 1080), R({1, 1, 1, 1}));
    }

    void placementsSaveAndRestore() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("KELDA.ini");
        using P = CWindowPlacement::ListPlacement;
        // Window 2 active, window 1 behind it.
        QVERIFY(CWindowPlacement::savePlacements(ini, {10, 20, 900, 700},
                                                 {P{2, {5, 5, 300, 300}, 1}, P{1, {7, 7, 400, 400}, 1}}));
        QCOMPARE(CPrivateProfile::getInt(ini, "Window2", "ZOrder", 0), 1);
        QCOMPARE(CPrivateProfile::getInt(ini, "Window1", "ZOrder", 0), 2);
        QCOMPARE(CPrivateProfile::getInt(ini, "Window3", "showCmd", -1), 0);
        QCOMPARE(CPrivateProfile::getInt(ini, "Window4", "ZOrder", 0), 4);
        QCOMPARE(CWindowPlacement::readMainRect(ini), CWindowPlacement::WinRect({10, 20, 900, 700}));

        auto plan = CWindowPlacement::readListPlacements(ini, 2);
        QCOMPARE(plan.windows.size(), size_t(2));
        QCOMPARE(plan.windows[0].rect, CWindowPlacement::WinRect({7, 7, 400, 400}));
        QVERIFY(!plan.maximize);
        QCOMPARE(plan.activationOrder(), std::vector<int>({1, 2}));

        // One maximized window: every section carries its rectangle and showCmd 3.
        QVERIFY(CWindowPlacement::savePlacements(ini, {10, 20, 900, 700},
                                                 {P{1, {1, 2, 3, 4}, 1}, P{2, {9, 9, 99, 99}, 3}}));
        for (int s = 1; s <= 4; ++s) {
            const QString sec = QString("Window%1").arg(s);
            QCOMPARE(CPrivateProfile::getInt(ini, sec, "showCmd", 0), 3);
            QCOMPARE(CPrivateProfile::getInt(ini, sec, "Right", 0), 99);
        }
        plan = CWindowPlacement::readListPlacements(ini, 2);
        QVERIFY(plan.maximize);

        // ZOrder outside 1-4 is ignored.
        CPrivateProfile::writeString(ini, "Window1", "ZOrder", "9");
        plan = CWindowPlacement::readListPlacements(ini, 2);
        QCOMPARE(plan.activationOrder(), std::vector<int>({2}));
    }

    void arrangementGeometry() {
        using R = CWindowPlacement::WinRect;
        const R client{0, 0, 1000, 750};
        const auto three = CWindowPlacement::tileThree(client);
        QCOMPARE(three.size(), size_t(3));
        QCOMPARE(three[0], R({0, 0, 500, 600}));
        QCOMPARE(three[1], R({500, 0, 1000, 300}));
        QCOMPARE(three[2], R({500, 300, 1000, 600}));

        const auto rows = CWindowPlacement::tileRowsFour(client);
        QCOMPARE(rows.size(), size_t(4));
        QCOMPARE(rows[0], R({0, 0, 1000, 150}));
        QCOMPARE(rows[1], R({0, 150, 1000, 300}));
        QCOMPARE(rows[3], R({0, 450, 1000, 600}));

        const auto cols = CWindowPlacement::tileColumnsFour(client);
        QCOMPARE(cols[0], R({0, 0, 250, 600}));
        QCOMPARE(cols[1], R({250, 0, 500, 600}));
        QCOMPARE(cols[3], R({750, 0, 1000, 600}));
        for (const auto& r : cols) {
            QCOMPARE(client.bottom - r.bottom, 150);
        }
        QCOMPARE(CWindowPlacement::mulDiv(5, 1, 2), 3);
        QCOMPARE(CWindowPlacement::newListRect(client), R({10, 10, 990, 500}));
    }

    void cascadeFillsTheClient_data() {
        using R = CWindowPlacement::WinRect;
        QTest::addColumn<int>("count");
        QTest::addColumn<R>("client");
        QTest::addColumn<R>("first");
        QTest::addColumn<R>("last");
        QTest::newRow("one window takes the whole area")
            << 1 << R{0, 0, 1000, 600} << R{0, 0, 1000, 600} << R{0, 0, 1000, 600};
        QTest::newRow("four windows, a caption apart")
            << 4 << R{0, 0, 1000, 600} << R{0, 0, 922, 522} << R{78, 78, 1000, 600};
        QTest::newRow("offset area") << 2 << R{10, 20, 510, 420} << R{10, 20, 484, 394} << R{36, 46, 510, 420};
        QTest::newRow("tiny area keeps half its size")
            << 4 << R{0, 0, 120, 90} << R{0, 0, 75, 45} << R{45, 45, 120, 90};
    }

    void cascadeFillsTheClient() {
        using R = CWindowPlacement::WinRect;
        QFETCH(int, count);
        QFETCH(R, client);
        QFETCH(R, first);
        QFETCH(R, last);
        const auto rects = CWindowPlacement::cascade(client, count, 26);
        QCOMPARE(int(rects.size()), count);
        QCOMPARE(rects.front(), first);
        QCOMPARE(rects.back(), last);
        for (const auto& r : rects) {
            QVERIFY(r.left >= client.left && r.top >= client.top && r.right <= client.right &&
                    r.bottom <= client.bottom);
            QVERIFY(r.width() * 2 >= client.width() && r.height() * 2 >= client.height());
        }
    }
};

QTEST_GUILESS_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
