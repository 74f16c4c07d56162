// Placeholder: saving, opening and printing the chart come with the chart files.
#include "temperature/heatspan.h"

void TfmTermo::bt_speichernClick() {}
void TfmTermo::bt_oeffnenClick() {}
void TfmTermo::RebuildChart() {}
void TfmTermo::AdvToolButton2Click() {}
void TfmTermo::PrintChart(QPrinter*) {}
