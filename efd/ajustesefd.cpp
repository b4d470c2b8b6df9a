#include "efd/ajustesefd.h"

namespace efd {

namespace {

// By use digit 0..5: the entry kind and its field in E110 and in E210.
struct TUso {
  int32_t Tipo;
  int CampoICMS, CampoST;
};
constexpr TUso kUsos[] = {
    {kOutrosDebitos, 4, 9},  {kEstornoCreditos, 5, 9},  {kOutrosCreditos, 8, 6},
    {kEstornoDebitos, 9, 6}, {kDeducoes, 12, 12},       {kDebitosEspecificos, 15, 15},
};

}  // namespace

TClasseAjuste ClassificarAjusteApuracao(const std::string& codigo) {
  TClasseAjuste c;
  if (codigo.size() != 8 || (codigo[2] != '0' && codigo[2] != '1') || codigo[3] < '0' || codigo[3] > '5') return c;
  const TUso& u = kUsos[codigo[3] - '0'];
  c.Apuracao = true;
  c.ST = codigo[2] == '1';
  c.TpLancamento = u.Tipo;
  c.Campo = c.ST ? u.CampoST : u.CampoICMS;
  return c;
}

TClasseAjuste ClassificarAjusteDocumento(const std::string& codigo) {
  TClasseAjuste c;
  if (codigo.size() != 10) return c;
  const char tipo = codigo[2], imposto = codigo[3];
  const bool st = imposto == '1';
  const bool proprio = imposto == '0' || (imposto >= '3' && imposto <= '8');
  if (!st && !proprio) return c;
  c.ST = st;
  if (tipo >= '0' && tipo <= '2') {
    c.TpLancamento = kOutrosCreditos;
    c.Campo = 7;  // VL_AJ_CREDITOS / VL_AJ_CREDITOS_ST
  } else if (tipo >= '3' && tipo <= '5') {
    c.TpLancamento = kOutrosDebitos;
    c.Campo = st ? 10 : 3;  // VL_AJ_DEBITOS_ST / VL_AJ_DEBITOS
  } else if ((tipo == '6' || tipo == '7') && (imposto == '0' || st)) {
    c.TpLancamento = tipo == '6' ? kDeducoes : kDebitosEspecificos;
    c.Campo = tipo == '6' ? 12 : 15;
  } else {
    return c;
  }
  c.Apuracao = true;
  return c;
}

int CampoDoLancamento(int32_t tpLancamento, bool st) {
  if (tpLancamento == kImpostoOutrosValores) tpLancamento = kOutrosDebitos;
  for (const TUso& u : kUsos)
    if (u.Tipo == tpLancamento) return st ? u.CampoST : u.CampoICMS;
  return 0;
}

char UsoDoLancamento(int32_t tpLancamento) {
  if (tpLancamento == kImpostoOutrosValores) tpLancamento = kOutrosDebitos;
  for (int i = 0; i < 6; ++i)
    if (kUsos[i].Tipo == tpLancamento) return static_cast<char>('0' + i);
  return ' ';
}

std::string CodigoGenerico(const std::string& uf, bool st, int32_t tpLancamento) {
  return uf + (st ? "1" : "0") + UsoDoLancamento(tpLancamento) + "9999";
}

}  // namespace efd
