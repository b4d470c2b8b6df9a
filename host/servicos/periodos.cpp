#include "host/servicos/periodos.h"

#include <algorithm>
#include <stdexcept>

namespace {
// Sub-monthly block size in days, 0 when the periodicity is not sub-monthly.
int TamanhoBloco(TPeriodicidade p) {
  switch (p) {
    case periodicidade::Diaria: return 1;
    case periodicidade::Quinquidial: return 5;
    case periodicidade::Semanal: return 7;
    case periodicidade::Decendial: return 10;
    case periodicidade::Quinzenal: return 15;
    default: return 0;
  }
}

int MesesBloco(TPeriodicidade p) {
  switch (p) {
    case periodicidade::Mensal: return 1;
    case periodicidade::Bimestral: return 2;
    case periodicidade::Trimestral: return 3;
    case periodicidade::Semestral: return 6;
    case periodicidade::Anual: return 12;
    default: return 0;
  }
}

void Validar(TPeriodicidade p) {
  if (!PeriodicidadeValida(p))
    throw std::invalid_argument("Periodicidade de apuração inválida: " + std::to_string(static_cast<int>(p)));
}
}  // namespace

bool PeriodicidadeValida(TPeriodicidade p) { return TamanhoBloco(p) > 0 || MesesBloco(p) > 0; }

TDateTime IncPeriodo(TDateTime data, TPeriodicidade p) {
  Validar(p);
  auto d = DecodeDate(data);
  int dias = DiasNoMes(d.ano, d.mes);
  if (int b = TamanhoBloco(p)) {
    if (b == 1) return EncodeDate(d.ano, d.mes, d.dia);
    const int blocos = 30 / b;  // 6, 4, 3 or 2 periods a month; the last one runs to month end
    int k = std::min((d.dia - 1) / b, blocos - 1);
    return EncodeDate(d.ano, d.mes, k == blocos - 1 ? dias : (k + 1) * b);
  }
  int m = MesesBloco(p);
  int mesFim = ((d.mes - 1) / m + 1) * m;
  return EncodeDate(d.ano, mesFim, DiasNoMes(d.ano, mesFim));
}

TDateTime DecPeriodo(TDateTime data, TPeriodicidade p) {
  Validar(p);
  auto d = DecodeDate(data);
  if (TamanhoBloco(p)) {
    // walk the month's blocks as IncPeriodo lays them out
    TDateTime ini = EncodeDate(d.ano, d.mes, 1);
    for (;;) {
      TDateTime fim = IncPeriodo(ini, p);
      if (data <= fim) return ini;
      ini = fim + 1;
    }
  }
  int m = MesesBloco(p);
  int mesIni = ((d.mes - 1) / m) * m + 1;
  return EncodeDate(d.ano, mesIni, 1);
}

std::string NomePeriodicidade(TPeriodicidade p) {
  switch (p) {
    case periodicidade::Diaria: return "Diária";
    case periodicidade::Quinquidial: return "Quinquidial";
    case periodicidade::Semanal: return "Semanal";
    case periodicidade::Decendial: return "Decendial";
    case periodicidade::Quinzenal: return "Quinzenal";
    case periodicidade::Mensal: return "Mensal";
    case periodicidade::Bimestral: return "Bimestral";
    case periodicidade::Trimestral: return "Trimestral";
    case periodicidade::Semestral: return "Semestral";
    case periodicidade::Anual: return "Anual";
    default: return "Indefinida";
  }
}
