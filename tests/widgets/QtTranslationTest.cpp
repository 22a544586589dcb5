#include "widgets/QtTranslation.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

using namespace kelvo;

// Qt's own texts in the program's language: the standard buttons of every
// message box and the file dialogs' labels.
class QtTranslationTest : public QObject {
    Q_OBJECT
    QTranslator m_translator;

private slots:
    void initTestCase() { QVERIFY2(loadQtChinese(*qApp, m_translator), "qt_zh_CN.qm"); }

    void standardButtonsAreChinese() {
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                             QDialogButtonBox::Yes | QDialogButtonBox::No);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
        QVERIFY(box.button(QDialogButtonBox::Yes)->text().startsWith(QStringLiteral("是")));
        QVERIFY(box.button(QDialogButtonBox::No)->text().startsWith(QStringLiteral("否")));
    }

    void fileDialogIsChinese() {
        QFileDialog dialog(nullptr, QString(), QDir::homePath());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        QStringList labels;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            labels << label->text();
        QVERIFY2(labels.join(u'|').contains(QStringLiteral("文件名")),
                 qPrintable(labels.join(u'|')));
        QVERIFY(!labels.join(u'|').contains(QStringLiteral("File &name")));
    }
};

QTEST_MAIN(QtTranslationTest)
#include "QtTranslationTest.moc"
