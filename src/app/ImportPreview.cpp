#include "app/ImportPreview.h"

#include "app/OutcomeTexts.h"
#include "common/QtText.h"
#include "exchange/ImportPlan.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace sapidoro {

// The plan as rows: a check to import, the name it gets, dish, persons, problems. Rows are
// made as they are shown, so that a file of many thousands of recipes lists at once.
class ImportPreviewModel : public QAbstractTableModel {
public:
    explicit ImportPreviewModel(ImportPlan &plan, QObject *parent)
        : QAbstractTableModel(parent), m_plan(plan) {
        update();
    }

    void update() {
        beginResetModel();
        m_names = m_plan.finalNames();
        endResetModel();
    }

    int rowCount(const QModelIndex &parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_plan.size());
    }
    int columnCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : 5; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        static const char *const kHeaders[] = {"Importa", "Nome", "Piatto", "Persone", "Problemi"};
        return QString::fromUtf8(kHeaders[section]);
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override {
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (index.column() == 0 && !m_plan.refused(static_cast<std::size_t>(index.row())) &&
            !skipped(static_cast<std::size_t>(index.row())))
            flags |= Qt::ItemIsUserCheckable;
        return flags;
    }

    QVariant data(const QModelIndex &index, int role) const override {
        const auto row = static_cast<std::size_t>(index.row());
        const RecipeSummary &recipe = m_plan.recipe(row);
        if (index.column() == 0 && role == Qt::CheckStateRole)
            return m_plan.included(row) && !skipped(row) ? Qt::Checked : Qt::Unchecked;
        if (role == Qt::ToolTipRole && index.column() == 4) return problems(row);
        if (role != Qt::DisplayRole) return {};
        switch (index.column()) {
            case 1:
                return FromCp1252(m_names[row].empty() ? recipe.name : m_names[row]);
            case 2:
                return FromCp1252(recipe.dish);
            case 3:
                return FromCp1252(recipe.persons);
            case 4:
                return problems(row);
        }
        return {};
    }

    bool setData(const QModelIndex &index, const QVariant &value, int role) override {
        if (index.column() != 0 || role != Qt::CheckStateRole) return false;
        m_plan.setIncluded(static_cast<std::size_t>(index.row()), value.toInt() == Qt::Checked);
        // One inclusion can move the numbers of the renamed recipes after it.
        m_names = m_plan.finalNames();
        emit dataChanged(this->index(0, 0), this->index(rowCount({}) - 1, 4));
        return true;
    }

    // Whether any recipe has a problem to show.
    bool anyProblems() const {
        for (std::size_t row = 0; row < m_plan.size(); ++row)
            if (!m_plan.problems(row).empty()) return true;
        return false;
    }

private:
    // Chosen, but left out by the choice for names already present: it cannot be imported.
    bool skipped(std::size_t row) const { return m_plan.included(row) && m_names[row].empty(); }

    QString problems(std::size_t row) const {
        QStringList texts;
        for (const std::string &problem : m_plan.problems(row))
            texts << QString::fromStdString(problem);
        return texts.join(QLatin1Char(' '));
    }

    ImportPlan &m_plan;
    std::vector<std::string> m_names;
};

ImportPreview::ImportPreview(ImportPlan &plan, const QString &fileName, const std::string &encoding,
                             const std::string &stopMessage, QWidget *parent)
    : QDialog(parent), m_plan(plan) {
    setObjectName(QStringLiteral("AnteprimaImportazione"));
    setWindowTitle(QStringLiteral("Importa ricette"));
    auto *layout = new QVBoxLayout(this);

    auto *summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("RiepilogoImportazione"));
    QString text =
        fileName + QStringLiteral(": ") +
        Counted(static_cast<qint64>(plan.size()), "%1 ricetta letta", "%1 ricette lette") +
        QStringLiteral(" (codifica %1).").arg(QString::fromStdString(encoding));
    if (!stopMessage.empty()) text += QLatin1Char('\n') + QString::fromStdString(stopMessage);
    summary->setText(text);
    summary->setWordWrap(true);
    layout->addWidget(summary);

    m_conflicts = new QComboBox(this);
    m_conflicts->setObjectName(QStringLiteral("NomiPresenti"));
    m_conflicts->addItem(QStringLiteral("Nomi gi\u00e0 presenti: salta la ricetta"));
    m_conflicts->addItem(
        QStringLiteral("Nomi gi\u00e0 presenti: rinomina in \u00abNome (2)\u00bb"));
    m_conflicts->setCurrentIndex(plan.conflictChoice() == NameConflict::Rename ? 1 : 0);
    layout->addWidget(m_conflicts);

    auto *table = m_table = new QTableView(this);
    table->setObjectName(QStringLiteral("ElencoImportazione"));
    m_model = new ImportPreviewModel(plan, table);
    table->setModel(m_model);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    layout->addWidget(table);

    auto *buttons = new QDialogButtonBox(this);
    m_import = buttons->addButton(QStringLiteral("Importa"), QDialogButtonBox::AcceptRole);
    m_import->setObjectName(QStringLiteral("ConfermaImportazione"));
    buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("AnnullaImportazione"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_conflicts, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_plan.setConflictChoice(index == 1 ? NameConflict::Rename : NameConflict::Skip);
        refresh();
    });
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] {
        bool any = false;
        for (const std::string &name : m_plan.finalNames()) any = any || !name.empty();
        m_import->setEnabled(any);
    });
    resize(820, 480);
    refresh();
}

void ImportPreview::FitColumns() {
    QHeaderView *header = m_table->horizontalHeader();
    header->setSectionResizeMode(1, QHeaderView::Interactive);  // a stretched one keeps its size
    m_table->resizeColumnsToContents();
    // Long names may take at most half the width, so that the problems still show beside them.
    const int room = m_table->viewport()->width();
    if (header->sectionSize(1) > room / 2) header->resizeSection(1, room / 2);
    // The spare width goes to the problems when there are any, else to the names.
    const bool problems = m_model->anyProblems();
    header->setStretchLastSection(problems);
    if (!problems) header->setSectionResizeMode(1, QHeaderView::Stretch);
}

void ImportPreview::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    FitColumns();  // the table's width is known now
}

void ImportPreview::refresh() {
    m_model->update();
    FitColumns();
    bool any = false;
    for (const std::string &name : m_plan.finalNames()) any = any || !name.empty();
    m_import->setEnabled(any);
}

}  // namespace sapidoro
