#include <QtTest>

#include "GraphAttr.h"

class tst_GraphAttr : public QObject
{
    Q_OBJECT

private slots:
    void defaultRecordPrintsItsColourNames();
    void fiveArgumentConstructorTakesGridBeforeCurve();
};

void tst_GraphAttr::defaultRecordPrintsItsColourNames()
{
    QScopedPointer<GraphAttr> attr(GraphAttr::createDefault());
    QCOMPARE(attr->getBackgroundColor().name(), QStringLiteral("#1d648d"));
    QCOMPARE(attr->getGridColor().name(), QStringLiteral("#a0a0a4"));
    QCOMPARE(attr->getCurveColor().name(), QStringLiteral("#000000"));
    QCOMPARE(attr->getSymbolColor().name(), QStringLiteral("#ffffff"));
    QCOMPARE(attr->getCurveStyle(), 2);
    QVERIFY(!attr->parent());
}

void tst_GraphAttr::fiveArgumentConstructorTakesGridBeforeCurve()
{
    GraphAttr attr(Qt::red, Qt::green, Qt::blue, Qt::yellow, 1);
    QCOMPARE(attr.getBackgroundColor(), QColor(Qt::red));
    QCOMPARE(attr.getGridColor(), QColor(Qt::green));
    QCOMPARE(attr.getCurveColor(), QColor(Qt::blue));
    QCOMPARE(attr.getSymbolColor(), QColor(Qt::yellow));
    QCOMPARE(attr.getCurveStyle(), 1);

    QObject owner;
    GraphAttr empty(&owner);
    QVERIFY(!empty.getBackgroundColor().isValid());
    QVERIFY(!empty.getCurveColor().isValid());
    QCOMPARE(empty.parent(), &owner);
}

QTEST_APPLESS_MAIN(tst_GraphAttr)
#include "tst_graphattr.moc"
