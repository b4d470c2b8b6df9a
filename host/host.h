#pragma once
// The host as the settlement sees it: the global service objects of the host process. THost builds
// them over one database connection and one user interaction and installs them as the globals for
// its lifetime; only one THost exists at a time.
#include <memory>

#include "host/banco/conexao.h"
#include "host/banco/consulta.h"
#include "host/interacao/interacao.h"
#include "host/servicos/apuracaofuncoes.h"
#include "host/servicos/contabilizacoes.h"
#include "host/servicos/formprincipal.h"
#include "host/servicos/qdinterface.h"
#include "host/servicos/utilescrita.h"
#include "host/servicos/utilsistema.h"

extern TApuracaoFuncoes* GFuncoes;
extern TUtilSistema* GUtilSistema;
extern TUtilEscrita* GUtilEscrita;
extern TQDInterface* QDInterface;
extern TFormPrincipal* FormPrincipal;

class THost {
 public:
  THost(TQDConnection& conexao, TInteracao& interacao);
  ~THost();
  THost(const THost&) = delete;
  THost& operator=(const THost&) = delete;

  TQDConnection& Conexao() { return conexao_; }
  TInteracao& Interacao() { return interacao_; }
  // Tests replace services with their own subclasses (recording stubs).
  void SetFuncoes(std::unique_ptr<TApuracaoFuncoes> f);
  void SetUtilEscrita(std::unique_ptr<TUtilEscrita> u);

 private:
  TQDConnection& conexao_;
  TInteracao& interacao_;
  std::unique_ptr<TApuracaoFuncoes> funcoes_;
  std::unique_ptr<TUtilSistema> util_;
  std::unique_ptr<TUtilEscrita> escrita_;
  std::unique_ptr<TQDInterface> interface_;
  std::unique_ptr<TFormPrincipal> principal_;
};
