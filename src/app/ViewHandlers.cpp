#include "app/Unit1.h"

// The recipe view: bound to `RicetteTrovate`, `CaricaLaRicetta`, `Persone` and `Nome`;
// they do nothing until the recipe loading joins.

void TForm1::RicetteTrovateChange() {}

void TForm1::CaricaLaRicettaClick() {}

void TForm1::PersoneChange() {}

void TForm1::NomeKeyUp(int, Qt::KeyboardModifiers) {}
