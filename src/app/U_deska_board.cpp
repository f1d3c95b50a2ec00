// Placeholder until the board lands: the grid area stays empty.
#include "U_deska.h"

#include <QWidget>

void Tfm_Deska::createBoard() { setCentralWidget(new QWidget(this)); }
void Tfm_Deska::Edit1Change() {}
void Tfm_Deska::SpeedButton2Click() {}
void Tfm_Deska::gHlavniDeskaCellClick(int) {}
void Tfm_Deska::gHlavniDeskaDblClick() {}
