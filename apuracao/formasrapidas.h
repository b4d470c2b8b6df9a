#pragma once
// The faster forms of the settlement's CFOP registers (host/banco/formasrapidas.h): the texts of
// entries or exits, with the suffix or grouped by the CFOP without it, of the regular ICMS
// (sqlapuracao.h) or the ICMS-ST of a state (regimes/subtrib/sqlsubtrib.h), answered from the totals that the run's one reading of the
// establishment's items left (host/banco/totaisitens.h) - the sums per CFOP id of the period, then
// the CFOP codes and descriptions joined and grouped as the text joins and groups them. Read as
// written, each text reads every item of its period again, once per tax, and sorts the wide rows
// with their descriptions.

#include "host/banco/formasrapidas.h"

// Which register a text is: its arguments are (zeros,) establishment, first and last day (, state).
struct TRegistroCfop {
  bool Saidas, Agrupado, ST;
};
banco::TFormaRapida FormaRegistroCfop(TRegistroCfop registro);

// Registers the forms of the regular ICMS's registers; the run calls it before it reads anything
// (once is enough, again is harmless).
void RegistrarFormasRapidasApuracao();
