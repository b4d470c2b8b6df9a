#pragma once
// TForm58140Observacoes, "Observações": the editor of the free-text observations printed in the
// ledger book, one text per establishment, tax code and date, kept in ES02_LIVROOBS. The report form
// opens it for the establishment and interval of its request.
//
// As with the report form, this is the editor's logic without a widget toolkit: controls are plain
// members, event handlers are methods with the handlers' names, and the observations are held in
// memory as the host's client data set holds them (a cursor, a browse/edit/insert state, a filter
// and a log of pending changes that SalvarRegistro writes to the database in one transaction).
// Needs an active THost (messages through QDInterface, the system connection).
#include <cstdint>
#include <string>
#include <vector>

#include "forms/form58140.h"
#include "host/base/datas.h"

class TQDConnection;

// One row of ES02_LIVROOBS.
struct TObservacao {
  int64_t IdLivroObs = 0;
  int64_t IdFilial = 0;
  std::string Imposto;
  TDateTime Data = 0;
  std::string Observacao;
};

enum class TEstadoDataSet { dsBrowse, dsEdit, dsInsert };

class TForm58140Observacoes {
 public:
  static constexpr const char* kCaption = "Observações";
  static constexpr TColunaGrade kColunas[3] = {
      {"Data", "DATA", 70}, {"Imposto", "IMPOSTO", 70}, {"Observação", "OBSERVACAO", 253}};

  TForm58140Observacoes();

  // ---- received from the opener before the editor is shown ----
  int64_t FIdFilialObs = 0;
  TDateTime FDataInicialLivro = 0;  // 0 = no interval
  TDateTime FDataFinalLivro = 0;
  std::string FNomeFilial;

  // ---- controls ----
  std::string lblTitulo;
  // "Imposto:" over TR04_IMPOSTOTIPO: Codigo is the field's text; Id and Descricao are set only when
  // the lookup found the code (its result set is open and not empty).
  TLookup lkpImposto;
  TEdicaoData edtData;  // "Data:"
  std::string mmoObs;   // the text of the current observation (OBSERVACAO)
  bool pnlGradeEnabled = true;
  TControle Foco = TControle::Nenhum;

  // ---- event handlers ----
  void FormShow();
  void lkpImpostoEnter();
  void lkpImpostoExit();
  void edtDataKeyDown(TTecla tecla);
  void dbgObsDblClick();
  void ValidarCampos(TControle sender);
  // Posts the record being edited (after validating the fields) and writes every pending change.
  void SalvarRegistro();
  // Asks "Deseja excluir esta observação?"; true when the current observation was deleted.
  bool ExcluirRegistro();
  void CancelarRegistro(TControle sender);
  // Text painted in a cell of the grid (row among the visible ones, column 0..2).
  std::string dbgObsDrawColumnCell(int linha, int coluna) const;

  // ---- lookup ----
  // Types a code into the tax field and searches it among the codes the editor offers (table kind
  // 9, above 2000, not a multiple of 1000). Returns whether it was found; the not-found message
  // "Registro não encontrado!" (kNaoEncontradoImposto) is the lookup widget's to show.
  bool BuscarImposto(const std::string& codigo);
  static constexpr const char* kNaoEncontradoImposto = "Registro não encontrado!";
  // The tax lookup's search grid, "Pesquisa do Código do Imposto".
  static TPesquisa PesquisaImposto();

  // ---- the data set ----
  TEstadoDataSet Estado() const { return estado_; }
  int RecordCount() const;  // visible rows
  bool IsEmpty() const { return RecordCount() == 0; }
  // The visible rows, in the order of the command (tax, date).
  std::vector<TObservacao> Linhas() const;
  // Current row; nullptr when there is none.
  const TObservacao* Atual() const;
  // Moves the cursor to a visible row (the user clicking the grid).
  bool Posicionar(int linha);
  // Moves the cursor to the observation of a tax and date of this establishment, without editing.
  bool Localizar(const std::string& imposto, TDateTime data);
  const std::string& Filtro() const { return filtro_; }
  bool Filtrado() const { return filtrado_; }
  const std::string& CommandText() const { return sql_; }
  bool AlteracoesPendentes() const;

 private:
  enum class TSituacao { Inalterada, Inserida, Modificada };
  struct TLinhaDataSet {
    TObservacao Obs;
    TSituacao Situacao = TSituacao::Inalterada;
  };

  bool Visivel(size_t i) const;
  void AjustarCursor();
  void SetEstado(TEstadoDataSet e);
  void Edit();
  void Insert();
  void Post();
  void CancelarPendente();
  void MostrarAtual();
  void cdsLivroObsNewRecord(TObservacao& obs);
  void cdsLivroObsBeforeEdit();
  int64_t ProximoID();
  // Writes the pending changes; returns the error text ("" when all were written).
  std::string AplicarAlteracoesNoBD();

  TQDConnection& conexao_;
  std::string sql_;
  std::vector<TLinhaDataSet> linhas_;
  std::vector<int64_t> excluidas_;  // keys of rows deleted since the last write
  size_t cursor_ = 0;
  TEstadoDataSet estado_ = TEstadoDataSet::dsBrowse;
  std::string filtro_;
  std::string filtroImposto_;  // the tax the filter compares IMPOSTO with
  bool filtrado_ = false;
};
