#pragma once
// The host main object (FormPrincipal): the current company and establishment, the date literal of
// the SQL texts, and the opening of other host packages.
#include <cstdint>
#include <string>

#include "host/base/datas.h"

class TQDConnection;
class TQDInterface;

class TFormPrincipal {
 public:
  TFormPrincipal(TQDConnection& conexao, TQDInterface& qdInterface) : c_(conexao), interface_(qdInterface) {}
  // The date as a quoted ISO literal: '2026-01-31'.
  static std::string DataSQL(TDateTime data) { return "'" + DataISO(data) + "'"; }
  TQDConnection& Conexao() { return c_; }
  // This host is the ledger alone: no other package can be opened. The user is told which package
  // was asked for and that it is not part of this program (an information message through the
  // run's interaction); it is not an error, whatever the package text, and the caller goes on.
  void AbrirPacote(const std::string& pacote, int32_t, int32_t);
  int32_t IdEmpresaAtual = 0;
  int64_t IdFilialAtual = 0;

 private:
  TQDConnection& c_;
  TQDInterface& interface_;
};
