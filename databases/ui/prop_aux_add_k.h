#pragma once
// The reaction editor: one elementary reaction typed as text ("H + H = H2") with its
// Arrhenius constants, "Only forward" and optional third-body efficiencies, checked
// against Species.json and written into Kinetics.json. Accepted only after a save.
#include <string>
#include <vector>

#include <QDialog>

#include "databases/reaction_entry.h"

class QLineEdit;
class QSpacerItem;
namespace Ui {
class PropAuxAddK;
}

class PropAuxAddK : public QDialog {
    Q_OBJECT

public:
    explicit PropAuxAddK(QWidget* parent = nullptr);
    ~PropAuxAddK() override;

    // Fills the form from the stored entry of `key` (edit mode).
    void load(const std::string& key);

public slots:
    void save();
    void exit();
    void add();
    void rem();
    void tb_active(bool check);

private:
    // Both show their own messages and return false on the first failure.
    bool parseReaction();
    bool checkThirdBody();

    Ui::PropAuxAddK* ui;
    std::vector<QLineEdit*> tbNameFields;
    std::vector<QLineEdit*> tbEffFields;
    QSpacerItem* spacer; // owned by the third-body grid, always below the last row
    std::vector<ReactionTerm> thirdBody;
    std::vector<ReactionTerm> reactants;
    std::vector<ReactionTerm> products;
};
