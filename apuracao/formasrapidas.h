#pragma once
// The faster forms of the settlement's CFOP registers (host/banco/formasrapidas.h): the texts of
// entries or exits, with the suffix or grouped by the CFOP without it, of the regular ICMS
// (sqlapuracao.h) or the ICMS-ST of a state (regimes/subtrib/sqlsubtrib.h), answered from the totals that the run's one reading of the
// establishment's items left (host/banco/totaisitens.h) - the sums per CFOP id of the period, then
// the CFOP codes and descriptions joined and grouped as the text joins and groups them. Read as
// written, each text reads every item of its period again, once per tax, and sorts the wide rows
// with their descriptions.

// Registers the faster forms of the four CFOP register texts of a tax: entries and exits, with the
// suffix and grouped by the CFOP without it; `st` when they are the ICMS-ST's of a state (the
// state their last argument).
struct TTextosRegistros {
  const char* EntradaSufixo;
  const char* EntradaAgrupado;
  const char* SaidaSufixo;
  const char* SaidaAgrupado;
};
void RegistrarRegistrosCfop(const TTextosRegistros& textos, bool st);

// Registers the forms of the regular ICMS's registers; the run calls it before it reads anything
// (once is enough, again is harmless).
void RegistrarFormasRapidasApuracao();
