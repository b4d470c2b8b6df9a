#pragma once
// Host records and enumerations that the settlement receives from the host services.
#include <cstdint>
#include <string>
#include <vector>

#include "host/base/datas.h"
#include "host/base/moeda.h"

struct TFilial {
  int32_t CodigoEmpresa = 0;  // company code as the user knows it
  int32_t IdEmpresa = 0;
  int64_t IdFilial = 0;
  int32_t CodigoFilial = 0;  // establishment code as the user knows it
  std::string UF;
  std::string RazaoSocial, NomeFantasia, CNPJ, InscrEstadual;
  std::string Endereco, Numero, Complemento, Bairro, CEP, Cidade;
};

// Centralisation role: 0 settles alone, 1 centraliser of its group, 2 centralised by another.
struct TApuracaoCentralizada {
  int32_t Chave1 = 0, Chave2 = 0, Chave3 = 0;
  uint8_t TipoApuracao = 0;
};

struct TCodigoRecolhimento {
  std::string Codigo1;
  std::string Codigo;
  TDateTime Vencimento = 0;
  int32_t TpDiaVencto = 0;
  int32_t IdCodigoRec = 0;
  int32_t DiaVencto = 0;
  int32_t Reservado = 0;
};

// ICMS periodicity (0 = not set). 4 and 5 are sub-monthly and end on the month's last day.
using TPeriodicidade = uint8_t;
namespace periodicidade {
inline constexpr TPeriodicidade Indefinida = 0, Diaria = 1, Quinquidial = 2, Semanal = 3, Decendial = 4,
                                Quinzenal = 5, Mensal = 7, Bimestral = 8, Trimestral = 9, Semestral = 10,
                                Anual = 11;
}

// The ten kinds of settlement entry, ordinals 0 to 9.
using TLancamentoApur = uint8_t;
inline constexpr int kQtdeLancamentoApur = 10;

// 0 micro enterprise, 1 small enterprise, 2 regular regime.
using TTipoEnquadramento = uint8_t;

// Scope of a CFOP-formula sum: 0 whole company, 1 the establishment, 2 the company in the state.
using TTipoSomaReceita = uint8_t;

// A configuration row of an establishment (HS_FILIALCFG) as GetFilialCfg finds it: Informacao1 is
// its TEXTO. Encontrada is false when no row is in force for the whole interval.
struct TFilialCfg {
  bool Encontrada = false;
  int32_t IdCfg = 0;
  std::string Informacao1, Informacao2, Informacao3, Informacao4, Informacao5;
};

struct TInscricaoST {
  std::string UF;
  std::string InscrEst;
  TPeriodicidade Periodicidade = 0;
  int32_t IdCodigoRec = 0;
};
using TInscricoesST = std::vector<TInscricaoST>;

struct TMascaraCfop {
  std::string Mascara;
  uint8_t TamanhoSufixo = 0;
};
