#pragma once

#include <QDialog>

#include <string>

class QComboBox;
class QPushButton;
class QTableView;

namespace sapidoro {

class ImportPlan;
class ImportPreviewModel;

// Lists what an import will add, recipe by recipe with its problems, and lets the user leave
// recipes out and choose what becomes of names the collection already holds. Accepting it
// is the user's confirmation of the save.
class ImportPreview : public QDialog {
    Q_OBJECT

public:
    ImportPreview(ImportPlan &plan, const QString &fileName, const std::string &encoding,
                  const std::string &stopMessage, QWidget *parent);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refresh();
    // Columns as wide as their contents; a column of problems only when there are some.
    void FitColumns();

    ImportPlan &m_plan;
    ImportPreviewModel *m_model = nullptr;
    QComboBox *m_conflicts = nullptr;
    QTableView *m_table = nullptr;
    QPushButton *m_import = nullptr;
};

}  // namespace sapidoro
