#pragma once
// System utilities (GUtilSistema): the system connection, providers for client data sets,
// rounding to cents and the yes/no question.
#include <string>

#include "host/base/moeda.h"

class TQDConnection;
class TQDClientDataSet;
class TInteracao;

class TUtilSistema {
 public:
  TUtilSistema(TQDConnection& conexao, TInteracao& interacao) : c_(conexao), interacao_(interacao) {}
  TQDConnection& GetConnectionSistema() { return c_; }
  void CreateProviderAtRunTime(TQDClientDataSet& ds);
  Currency ArredondaCurr(Currency valor) const { return ArredondarMoeda(valor, 2); }
  bool MostraMensagemSim(const std::string& texto, int estilo = 6, const std::string& titulo = "Confirmação");

 private:
  TQDConnection& c_;
  TInteracao& interacao_;
};
