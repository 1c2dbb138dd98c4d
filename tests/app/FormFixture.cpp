#include "FormFixture.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QHash>
#include <QImage>
#include <QTest>

namespace sapidoro::test {

std::string Record(const std::string &name) {
    return CrLf({"-Nome", name, "-Piatto", "Primo", "-Ingrediente Principale", "Pasta", "-Persone",
                 "4", "-Note", "Roma", "-Ingredienti", "100 g ==== Pasta", "-Preparazione",
                 "Cuocere.", ":Ricette"});
}

std::string RecipeFile(std::initializer_list<std::string> names) {
    std::string file = ":Ricette\r\n";
    for (const std::string &name : names) file += Record(name);
    return file;
}

QStringList Items(const QComboBox *box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

ScrollStyle ScrollBarsOf(const QAbstractScrollArea *box) {
    const bool horizontal = box->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    const bool vertical = box->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    if (horizontal && vertical) return ScrollStyle::Both;
    if (horizontal) return ScrollStyle::Horizontal;
    if (vertical) return ScrollStyle::Vertical;
    return ScrollStyle::None;
}

QColor DominantColour(QWidget *control) {
    const QImage image = control->grab().toImage();
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y) & 0xFFFFFFu];
    QRgb best = 0;
    int bestCount = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > bestCount) best = it.key(), bestCount = it.value();
    return QColor::fromRgb(best);
}

void FormTest::WriteSmallCollection() {
    // Names out of order, in mixed case, with an accented initial and a duplicate.
    m_dir.write("ricette.txt", RecipeFile({"Zuppa di farro", "arrosto",
                                           "\xC0"
                                           "cqua cotta",
                                           "Bruschetta", "Zuppa di farro"}));
    m_dir.write("ing.txt", CrLf({"Aceto_ING == 1 Cucchiaio === 5", "Aceto_ING == 0 === 0",
                                 "Burro_ING == 10 g === 75", "Aceto_ING == 2 === 10",
                                 "\xC8"
                                 "rba_ING == 1 === 1"}));
    m_dir.write("luoghi.txt", CrLf({"Roma", "Milano", "Napoli"}));
}

TForm1 &FormTest::CreateForm() {
    m_form = std::make_unique<TForm1>(m_dir.qpath(), nullptr);
    return *m_form;
}

void FormTest::ShowActive() {
    m_form->show();
    QApplication::setActiveWindow(m_form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
}

QString FormTest::FocusName() const {
    const QWidget *focus = QApplication::focusWidget();
    return focus == nullptr ? QString() : focus->objectName();
}

}  // namespace sapidoro::test
