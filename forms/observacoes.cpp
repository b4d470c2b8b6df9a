#include "forms/observacoes.h"

#include <algorithm>

#include "host/banco/motor.h"

#include "host/base/texto.h"
#include "host/banco/vincular.h"
#include "host/host.h"

namespace {

// Tax codes the editor offers: table kind 9, above 2000 and not a multiple of 1000 (the multiples
// are groups of taxes).
constexpr const char* kSqlImpostos =
    "SELECT * "
    "FROM TR04_IMPOSTOTIPO "
    "WHERE TIPOTABELA = 9 "
    "AND CODIGO > 2000 "
    "AND CAST(CODIGO AS INTEGER) <> (CAST(CODIGO AS INTEGER) / 1000) * 1000";

bool AntesNaOrdem(const TObservacao& a, const TObservacao& b) {
  return a.Imposto != b.Imposto ? a.Imposto < b.Imposto : a.Data < b.Data;
}

}  // namespace

TForm58140Observacoes::TForm58140Observacoes()
    : conexao_(GUtilSistema->GetConnectionSistema()), sql_("select * from ES02_LIVROOBS") {}

// ---------------------------------------------------------------------------------------------
// Loading

void TForm58140Observacoes::FormShow() {
  lblTitulo = FNomeFilial;
  std::string sql =
      "SELECT ES02_LIVROOBS.IDLIVROOBS,        ES02_LIVROOBS.IDFILIAL,        ES02_LIVROOBS.IMPOSTO,"
      "        ES02_LIVROOBS.DATA,        ES02_LIVROOBS.OBSERVACAO   FROM ES02_LIVROOBS  INNER JOIN"
      " TR04_IMPOSTOTIPO ON        (ES02_LIVROOBS.IMPOSTO = TR04_IMPOSTOTIPO.CODIGO)  WHERE"
      " ES02_LIVROOBS.IDFILIAL = " + std::to_string(FIdFilialObs) +
      "   AND TR04_IMPOSTOTIPO.TIPOTABELA = 9 "
      "   AND TR04_IMPOSTOTIPO.CODIGO > 2000 "
      "   AND CAST(TR04_IMPOSTOTIPO.CODIGO AS INTEGER) <> "
      "       (CAST(TR04_IMPOSTOTIPO.CODIGO AS INTEGER) / 1000) * 1000 ";
  if (FDataInicialLivro > 0 && FDataFinalLivro > 0) {
    sql += " AND ES02_LIVROOBS.DATA BETWEEN " + TFormPrincipal::DataSQL(FDataInicialLivro) + " AND " +
           TFormPrincipal::DataSQL(FDataFinalLivro);
    lblTitulo = FNomeFilial + " - " + DataBR(FDataInicialLivro) + " a " + DataBR(FDataFinalLivro);
  }
  sql += " ORDER BY ES02_LIVROOBS.IMPOSTO, DATA";

  // Closed, given the command and opened again: pending changes are dropped.
  linhas_.clear();
  excluidas_.clear();
  SetEstado(TEstadoDataSet::dsBrowse);
  sql_ = sql;
  TQDSQLQuery q(conexao_);
  q.SetSQL(sql_);
  q.Open();
  for (; !q.Eof(); q.Next()) {
    TLinhaDataSet l;
    l.Obs.IdLivroObs = q.FieldByName("IDLIVROOBS").AsLargeInt();
    l.Obs.IdFilial = q.FieldByName("IDFILIAL").AsLargeInt();
    l.Obs.Imposto = q.FieldByName("IMPOSTO").AsString();
    l.Obs.Data = q.FieldByName("DATA").AsDateTime();
    l.Obs.Observacao = q.FieldByName("OBSERVACAO").AsString();
    linhas_.push_back(std::move(l));
  }
  cursor_ = 0;
  AjustarCursor();
}

bool TForm58140Observacoes::BuscarImposto(const std::string& codigo) {
  lkpImposto.Codigo = codigo;
  lkpImposto.Id = 0;
  lkpImposto.Descricao.clear();
  std::string c = texto::Aparar(codigo);
  if (c.empty()) return false;
  TQDSQLQuery q(conexao_);
  q.SetSQL(std::string(kSqlImpostos) + " AND CODIGO = " + texto::QuotedStr(c));
  q.Open();
  if (q.Eof()) return false;
  // The code as the tax table has it: a code typed with blanks is stored and matched trimmed.
  lkpImposto.Codigo = q.FieldByName("CODIGO").AsString();
  lkpImposto.Id = q.FieldByName("IDIMPOSTOTIPO").AsLargeInt();
  lkpImposto.Descricao = q.FieldByName("DESCRICAO").AsString();
  return true;
}

TPesquisa TForm58140Observacoes::PesquisaImposto() {
  return {"Pesquisa do Código do Imposto", std::string(kSqlImpostos) + " ORDER BY CODIGO", "IDIMPOSTOTIPO", "CODIGO",
          {{"Código", "CODIGO", 70}, {"Descrição", "DESCRICAO", 0}}};
}

// ---------------------------------------------------------------------------------------------
// Cursor, filter and state

bool TForm58140Observacoes::Visivel(size_t i) const { return !filtrado_ || linhas_[i].Obs.Imposto == filtroImposto_; }

void TForm58140Observacoes::AjustarCursor() {
  if (cursor_ >= linhas_.size()) cursor_ = linhas_.empty() ? 0 : linhas_.size() - 1;
  if (linhas_.empty() || Visivel(cursor_)) {
    MostrarAtual();
    return;
  }
  for (size_t i = cursor_; i < linhas_.size(); ++i)
    if (Visivel(i)) {
      cursor_ = i;
      MostrarAtual();
      return;
    }
  for (size_t i = cursor_; i-- > 0;)
    if (Visivel(i)) {
      cursor_ = i;
      break;
    }
  MostrarAtual();
}

void TForm58140Observacoes::MostrarAtual() {
  if (estado_ != TEstadoDataSet::dsBrowse) return;
  const TObservacao* a = Atual();
  mmoObs = a ? a->Observacao : std::string();
}

int TForm58140Observacoes::RecordCount() const {
  int n = 0;
  for (size_t i = 0; i < linhas_.size(); ++i) n += Visivel(i);
  return n;
}

std::vector<TObservacao> TForm58140Observacoes::Linhas() const {
  std::vector<TObservacao> r;
  for (size_t i = 0; i < linhas_.size(); ++i)
    if (Visivel(i)) r.push_back(linhas_[i].Obs);
  return r;
}

const TObservacao* TForm58140Observacoes::Atual() const {
  return cursor_ < linhas_.size() && Visivel(cursor_) ? &linhas_[cursor_].Obs : nullptr;
}

bool TForm58140Observacoes::Posicionar(int linha) {
  if (estado_ != TEstadoDataSet::dsBrowse || linha < 0) return false;
  int n = 0;
  for (size_t i = 0; i < linhas_.size(); ++i) {
    if (!Visivel(i)) continue;
    if (n++ == linha) {
      cursor_ = i;
      MostrarAtual();
      return true;
    }
  }
  return false;
}

bool TForm58140Observacoes::Localizar(const std::string& imposto, TDateTime data) {
  for (size_t i = 0; i < linhas_.size(); ++i) {
    const TObservacao& o = linhas_[i].Obs;
    if (Visivel(i) && o.IdFilial == FIdFilialObs && o.Imposto == imposto && o.Data == data) {
      cursor_ = i;
      MostrarAtual();
      return true;
    }
  }
  return false;
}

bool TForm58140Observacoes::AlteracoesPendentes() const {
  if (!excluidas_.empty()) return true;
  return std::any_of(linhas_.begin(), linhas_.end(), [](const TLinhaDataSet& l) { return l.Situacao != TSituacao::Inalterada; });
}

void TForm58140Observacoes::SetEstado(TEstadoDataSet e) {
  estado_ = e;
  // dsLivroObsStateChange: the grid is usable only while the data set browses.
  pnlGradeEnabled = e == TEstadoDataSet::dsBrowse;
}

void TForm58140Observacoes::lkpImpostoEnter() { filtrado_ = false; }

void TForm58140Observacoes::lkpImpostoExit() {
  filtrado_ = false;
  if (lkpImposto.Id != 0) {
    filtro_ = " IMPOSTO = " + lkpImposto.Codigo;
    filtroImposto_ = texto::Aparar(lkpImposto.Codigo);
    filtrado_ = true;
  } else {
    filtro_.clear();
    filtroImposto_.clear();
  }
  AjustarCursor();
}

// ---------------------------------------------------------------------------------------------
// Editing

void TForm58140Observacoes::cdsLivroObsNewRecord(TObservacao& obs) {
  obs.IdLivroObs = ProximoID();
  obs.IdFilial = FIdFilialObs;
  obs.Data = edtData.Data();
  obs.Imposto = lkpImposto.Codigo;
}

void TForm58140Observacoes::cdsLivroObsBeforeEdit() {
  const TObservacao& o = linhas_[cursor_].Obs;
  BuscarImposto(o.Imposto);
  edtData.SetData(o.Data);
}

void TForm58140Observacoes::Edit() {
  if (estado_ != TEstadoDataSet::dsBrowse || !Atual()) return;
  cdsLivroObsBeforeEdit();
  mmoObs = linhas_[cursor_].Obs.Observacao;
  SetEstado(TEstadoDataSet::dsEdit);
}

void TForm58140Observacoes::Insert() {
  TLinhaDataSet l;
  l.Situacao = TSituacao::Inserida;
  cdsLivroObsNewRecord(l.Obs);
  auto pos = std::upper_bound(linhas_.begin(), linhas_.end(), l,
                              [](const TLinhaDataSet& a, const TLinhaDataSet& b) { return AntesNaOrdem(a.Obs, b.Obs); });
  cursor_ = static_cast<size_t>(pos - linhas_.begin());
  linhas_.insert(pos, std::move(l));
  mmoObs.clear();
  SetEstado(TEstadoDataSet::dsInsert);
}

void TForm58140Observacoes::Post() {
  if (estado_ == TEstadoDataSet::dsBrowse) return;
  TLinhaDataSet& l = linhas_[cursor_];
  l.Obs.Observacao = mmoObs;
  if (l.Situacao == TSituacao::Inalterada) l.Situacao = TSituacao::Modificada;
  SetEstado(TEstadoDataSet::dsBrowse);
}

void TForm58140Observacoes::CancelarPendente() {
  if (estado_ == TEstadoDataSet::dsInsert) {
    linhas_.erase(linhas_.begin() + static_cast<std::ptrdiff_t>(cursor_));
    SetEstado(TEstadoDataSet::dsBrowse);
    AjustarCursor();
  } else if (estado_ == TEstadoDataSet::dsEdit) {
    SetEstado(TEstadoDataSet::dsBrowse);
    MostrarAtual();
  }
}

void TForm58140Observacoes::edtDataKeyDown(TTecla tecla) {
  if (!TeclaConfirma(tecla)) return;
  // Searching leaves editing first, as the data set does: the record being edited is posted.
  Post();
  if (Localizar(lkpImposto.Codigo, edtData.Data()))
    Edit();
  else
    Insert();
}

void TForm58140Observacoes::dbgObsDblClick() {
  if (IsEmpty()) return;
  Edit();
  Foco = TControle::mmoObs;
}

void TForm58140Observacoes::ValidarCampos(TControle sender) {
  using namespace validacao;
  if (DeveValidarCampo(sender, TControle::lkpImposto) && lkpImposto.Id == 0) Abortar("Imposto inválido.", 1);
  TDateTime data = ValidaCampoData(sender, TControle::edtData, edtData.Text, "Data inválida.", 1);
  if (DeveValidarCampo(sender, TControle::edtData)) {
    if (FDataInicialLivro > 0 && data < FDataInicialLivro) Abortar("Data menor que a data inicial do livro", 1);
    if (FDataFinalLivro > 0 && data > FDataFinalLivro) Abortar("Data maior que a data final do livro", 1);
  }
}

void TForm58140Observacoes::SalvarRegistro() {
  if (estado_ != TEstadoDataSet::dsBrowse) {
    ValidarCampos(TControle::Nenhum);
    Post();
  }
  std::string erro = AplicarAlteracoesNoBD();
  if (!erro.empty()) {
    std::string mensagem = "Erro ao gravar as obervações.\r" + erro;
    QDInterface->ExibirMensagem(mensagem, 1);
    throw ECampoInvalido(mensagem);
  }
}

bool TForm58140Observacoes::ExcluirRegistro() {
  CancelarPendente();
  bool excluiu = false;
  // The deletion question defaults to No: without an answer nothing is deleted.
  if (!IsEmpty() && QDInterface->Interacao().PerguntarSimNao("Deseja excluir esta observação?", "Confirmação", false)) {
    if (linhas_[cursor_].Situacao != TSituacao::Inserida) excluidas_.push_back(linhas_[cursor_].Obs.IdLivroObs);
    linhas_.erase(linhas_.begin() + static_cast<std::ptrdiff_t>(cursor_));
    AjustarCursor();
    excluiu = true;
  }
  SalvarRegistro();
  return excluiu;
}

void TForm58140Observacoes::CancelarRegistro(TControle) {
  CancelarPendente();
  Foco = TControle::lkpImposto;
}

std::string TForm58140Observacoes::dbgObsDrawColumnCell(int linha, int coluna) const {
  int n = 0;
  for (size_t i = 0; i < linhas_.size(); ++i) {
    if (!Visivel(i) || n++ != linha) continue;
    const TObservacao& o = linhas_[i].Obs;
    switch (coluna) {
      case 0: return DataBR(o.Data);
      case 1: return o.Imposto;
      case 2: {
        // One line in the grid; the text keeps its line breaks.
        std::string s = o.Observacao;
        std::replace(s.begin(), s.end(), '\r', ' ');
        std::replace(s.begin(), s.end(), '\n', ' ');
        return s;
      }
      default: return {};
    }
  }
  return {};
}

// ---------------------------------------------------------------------------------------------
// Writing

int64_t TForm58140Observacoes::ProximoID() {
  TQDSQLQuery q(conexao_);
  q.SetSQL("SELECT MAX(IDLIVROOBS) AS ULTIMO FROM ES02_LIVROOBS");
  q.Open();
  int64_t ultimo = q.Eof() ? 0 : q.FieldByName("ULTIMO").AsLargeInt();
  for (const auto& l : linhas_) ultimo = std::max(ultimo, l.Obs.IdLivroObs);
  for (int64_t k : excluidas_) ultimo = std::max(ultimo, k);
  return ultimo + 1;
}

std::string TForm58140Observacoes::AplicarAlteracoesNoBD() {
  if (!AlteracoesPendentes()) return {};
  try {
    TTransacao t(conexao_);
    banco::TBanco& db = conexao_.Db();
    for (int64_t id : excluidas_) {
      banco::TComando d(db, "DELETE FROM ES02_LIVROOBS WHERE IDLIVROOBS = ?");
      banco::Vincular(d, id).exec();
    }
    for (const auto& l : linhas_) {
      const TObservacao& o = l.Obs;
      if (l.Situacao == TSituacao::Inserida) {
        banco::TComando i(db,
            "INSERT INTO ES02_LIVROOBS (IDLIVROOBS, IDFILIAL, IMPOSTO, DATA, OBSERVACAO) VALUES (?, ?, ?, ?, ?)");
        banco::Vincular(i, o.IdLivroObs, o.IdFilial, o.Imposto, DataISO(o.Data), o.Observacao).exec();
      } else if (l.Situacao == TSituacao::Modificada) {
        // By key: the other four columns are written.
        banco::TComando u(db,
            "UPDATE ES02_LIVROOBS SET IDFILIAL = ?, IMPOSTO = ?, DATA = ?, OBSERVACAO = ? WHERE IDLIVROOBS = ?");
        banco::Vincular(u, o.IdFilial, o.Imposto, DataISO(o.Data), o.Observacao, o.IdLivroObs).exec();
      }
    }
    t.Confirmar();
  } catch (const std::exception& e) {
    return e.what();
  }
  excluidas_.clear();
  for (auto& l : linhas_) l.Situacao = TSituacao::Inalterada;
  return {};
}
