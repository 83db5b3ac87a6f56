#include "core/ui/export_selection.h"

#include <QGroupBox>

#include "ui_exportselection.h"

namespace {
// A mode that names no group. A mode outside one byte is stored as this one rather than
// as its low byte, so that the group shown and the bits computed always agree.
constexpr uint8_t kNoGroup = 0xFF;
} // namespace

ExportSelection::ExportSelection(int mode, QWidget* parent)
    : QDialog(parent), ui(new Ui::ExportSelection),
      mode(mode >= 0 && mode <= 0xFF ? static_cast<uint8_t>(mode) : kNoGroup), mask(0)
{
    ui->setupUi(this);
    ui->group_Prop->hide();
    ui->group_Grain->hide();
    ui->group_Nozzle->hide();
    ui->group_Data->hide();
    switch (this->mode) {
    case 0: ui->group_Prop->show(); break;
    case 1: ui->group_Grain->show(); break;
    case 2: ui->group_Nozzle->show(); break;
    case 3: ui->group_Data->show(); break;
    default: break;
    }
    adjustSize();
    // The animation export is not offered: it stays hidden, hence unchecked.
    ui->check_grain_animation->hide();
}

ExportSelection::~ExportSelection()
{
    delete ui;
}

void ExportSelection::tableActive(bool is)
{
    ui->check_table_all->setEnabled(is);
    ui->check_table_composition->setEnabled(is);
    ui->check_table_thermo->setEnabled(is);
    ui->check_table_transport->setEnabled(is);
}

void ExportSelection::GraphAllActive(bool is)
{
    ui->check_graph_composition->setEnabled(is);
    ui->check_graph_thermo->setEnabled(is);
    ui->check_graph_transport->setEnabled(is);
    ui->check_graph_time->setEnabled(is);
}

void ExportSelection::GraphActive(bool is)
{
    ui->radio_graphs_all->setEnabled(is);
    ui->radio_graphs_current->setEnabled(is);
    GraphAllActive(is ? ui->radio_graphs_all->isChecked() : false);
}

void ExportSelection::Cancel()
{
    done(0);
}

uint32_t ExportSelection::computeMask() const
{
    auto bit = [](const QAbstractButton* b, uint32_t value) { return b->isChecked() ? value : 0u; };
    uint32_t m = 0;
    switch (mode) {
    case 0:
        m |= bit(ui->check_prop_composition, 0x2);
        m |= bit(ui->check_prop_data, 0x4);
        m |= bit(ui->check_species, 0x8);
        m |= bit(ui->check_reactions, 0x10);
        m |= bit(ui->check_cstar, 0x20);
        break;
    case 1:
        m |= bit(ui->check_grain_parameters, 0x2);
        m |= bit(ui->check_grain_image, 0x4);
        m |= bit(ui->check_grain_graph, 0x8);
        m |= bit(ui->check_grain_area, 0x10);
        m |= bit(ui->check_grain_animation, 0x20);
        break;
    case 2:
        m |= bit(ui->check_nozzle_parameters, 0x2);
        m |= bit(ui->check_nozzle_coordinates, 0x4);
        m |= bit(ui->check_Nozzle_areas, 0x8);
        m |= bit(ui->check_nozzle_image, 0x10);
        break;
    case 3:
        m |= bit(ui->check_Data_parameters, 0x2);
        m |= bit(ui->check_rocket, 0x4);
        if (ui->radio_config_current->isChecked())
            m |= 0x8;
        else if (ui->radio_config_all->isChecked())
            m |= 0x10;
        // The sub-options count by their ticks, and only while their heading is ticked:
        // a heading unticked later leaves its entries ticked but no longer chosen.
        if (ui->check_table->isChecked()) {
            m |= bit(ui->check_table_all, 0x2000);
            m |= bit(ui->check_table_composition, 0x80);
            m |= bit(ui->check_table_thermo, 0x20);
            m |= bit(ui->check_table_transport, 0x40);
        }
        if (!ui->check_graphs->isChecked())
            break;
        m |= bit(ui->radio_graphs_current, 0x100);
        if (!ui->radio_graphs_all->isChecked())
            break;
        m |= bit(ui->check_graph_composition, 0x800);
        m |= bit(ui->check_graph_thermo, 0x200);
        m |= bit(ui->check_graph_transport, 0x400);
        m |= bit(ui->check_graph_time, 0x1000);
        break;
    default: break;
    }
    return m;
}

void ExportSelection::Export()
{
    mask = computeMask();
    done(static_cast<int>(mask));
}
