// Pages that depend on other pages of the list: which dependencies hold, and the order and counts
// the cycle takes from them.
#include "pages/PageDependencies.h"
#include "support/EngineTestMain.h"

class TestPageDependencies : public QObject {
    Q_OBJECT
private slots:
    void dependencies_data() {
        QTest::addColumn<QStringList>("dependsOn"); // of the pages http://0/ to http://5/
        QTest::addColumn<QStringList>("problems");
        QTest::addColumn<QList<int>>("parents");
        QTest::addColumn<QList<int>>("order");
        QTest::addColumn<QList<int>>("dependents");
        QTest::newRow("trees, parents later in the list")
            << QStringList{"http://3/", "HTTP://2/", "http://5/", "", "http://3/", ""} << QStringList{}
            << QList<int>{3, 2, 5, -1, 3, -1} << QList<int>{3, 0, 5, 2, 1, 4} << QList<int>{0, 0, 1, 2, 0, 2};
        QTest::newRow("self, not listed, a circle with a tail")
            << QStringList{"http://0/", "http://9/", "http://3/", "http://4/", "http://2/", "http://2/"}
            << QStringList{"page 1: depends on itself",
                           "page 2: depends on http://9/, which is not in the list",
                           "page 3: depends on http://3/ in a circle",
                           "page 4: depends on http://4/ in a circle",
                           "page 5: depends on http://2/ in a circle"}
            << QList<int>{-1, -1, -1, -1, -1, 2} << QList<int>{0, 1, 2, 3, 4, 5}
            << QList<int>{0, 0, 1, 0, 0, 0};
    }
    void dependencies() {
        QFETCH(QStringList, dependsOn);
        QFETCH(QStringList, problems);
        QFETCH(QList<int>, parents);
        QFETCH(QList<int>, order);
        QFETCH(QList<int>, dependents);
        const QStringList addresses{"http://0/", "http://1/", "http://2/",
                                    "http://3/", "http://4/", "http://5/"};
        const PageDependencies dependencies(addresses, dependsOn);
        QCOMPARE(dependencies.problems(), problems);
        QList<int> parentsFound, dependentsFound;
        for (int page = 0; page < 6; ++page) {
            parentsFound.append(dependencies.parent(page));
            dependentsFound.append(dependencies.dependents(page));
        }
        QCOMPARE(parentsFound, parents);
        QCOMPARE(dependencies.any(), parents != QList<int>(6, -1));
        QCOMPARE(QList<int>(dependencies.order().begin(), dependencies.order().end()), order);
        QCOMPARE(dependentsFound, dependents);
    }
};

KORVANE_ENGINE_TEST_MAIN(TestPageDependencies)
#include "test_page_dependencies.moc"
