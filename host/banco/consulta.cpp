#include "host/banco/consulta.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "host/banco/motor.h"

#include "host/banco/conexao.h"
#include "host/banco/formasrapidas.h"
#include "host/base/texto.h"

namespace {

bool MesmoNome(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

[[noreturn]] void ErroSQL(const banco::EMotor& e, const std::string& sql) {
  LancarErroBanco(e, std::string("Erro no banco de dados: ") + e.what() + " [SQL: " + texto::Aparar(sql).substr(0, 300) + "]");
}

}  // namespace

TCampo::Valor LerColuna(const banco::TColuna& c) {
  // The type asked once: each question goes to the engine.
  switch (c.getType()) {
    case banco::TTipoValor::Nulo: return std::monostate{};
    case banco::TTipoValor::Inteiro: return static_cast<int64_t>(c.getInt64());
    case banco::TTipoValor::Real: return c.getDouble();
    default: return c.getString();
  }
}

std::string TCampo::AsString() const {
  if (auto i = std::get_if<int64_t>(&v_)) return std::to_string(*i);
  if (auto d = std::get_if<double>(&v_)) {
    if (*d == std::floor(*d) && std::fabs(*d) < 1e15) return std::to_string(static_cast<int64_t>(*d));
    char b[64];
    std::snprintf(b, sizeof b, "%.10g", *d);
    return b;
  }
  if (auto s = std::get_if<std::string>(&v_)) return *s;
  return {};
}

int64_t TCampo::AsLargeInt() const {
  if (auto i = std::get_if<int64_t>(&v_)) return *i;
  if (auto d = std::get_if<double>(&v_)) return static_cast<int64_t>(*d);
  if (auto s = std::get_if<std::string>(&v_)) {
    char* fim = nullptr;
    std::string t = texto::Aparar(*s);
    long long v = std::strtoll(t.c_str(), &fim, 10);
    if (t.empty() || *fim != '\0') throw std::invalid_argument("'" + *s + "' não é um número inteiro válido");
    return v;
  }
  return 0;
}

int32_t TCampo::AsInteger() const { return static_cast<int32_t>(AsLargeInt()); }

double TCampo::AsFloat() const {
  if (auto i = std::get_if<int64_t>(&v_)) return static_cast<double>(*i);
  if (auto d = std::get_if<double>(&v_)) return *d;
  if (auto s = std::get_if<std::string>(&v_)) {
    char* fim = nullptr;
    std::string t = texto::Aparar(*s);
    double v = std::strtod(t.c_str(), &fim);
    if (t.empty() || *fim != '\0') throw std::invalid_argument("'" + *s + "' não é um número válido");
    return v;
  }
  return 0.0;
}

TDateTime TCampo::AsDateTime() const {
  if (auto s = std::get_if<std::string>(&v_)) {
    TDateTime d;
    return TentarLerData(*s, d) ? d : 0.0;
  }
  if (IsNull()) return 0.0;
  return AsFloat();
}

// ---------------------------------------------------------------- TQDSQLQuery

TQDSQLQuery::TQDSQLQuery(TQDConnection& conexao) : conexao_(conexao) {}
TQDSQLQuery::~TQDSQLQuery() = default;

void TQDSQLQuery::Open() {
  stmt_.reset();
  memoria_.reset();
  try {
    banco::TFormaExecucao forma = banco::FormaDeExecucao(conexao_, sql_);
    if (forma.Linhas) {
      memoria_ = std::make_unique<banco::TTabelaMemoria>(std::move(*forma.Linhas));
      linha_ = 0;
      eof_ = vazia_ = memoria_->Linhas.empty();
      return;
    }
    stmt_ = std::make_unique<banco::TComando>(conexao_.Db(), forma.Sql);
    eof_ = !stmt_->executeStep();
    vazia_ = eof_;
  } catch (const banco::EMotor& e) {
    stmt_.reset();
    ErroSQL(e, sql_);
  }
}

void TQDSQLQuery::Close() {
  stmt_.reset();
  memoria_.reset();
  eof_ = vazia_ = true;
}

void TQDSQLQuery::Next() {
  if (eof_) return;
  if (memoria_) {
    eof_ = ++linha_ >= memoria_->Linhas.size();
    return;
  }
  try {
    eof_ = !stmt_->executeStep();
  } catch (const banco::EMotor& e) {
    ErroSQL(e, sql_);
  }
}

TCampo TQDSQLQuery::FieldByName(const std::string& nome) const {
  if ((!stmt_ && !memoria_) || eof_) throw EBancoDados("Campo " + nome + " lido sem registro corrente");
  if (memoria_) {
    for (size_t i = 0; i < memoria_->Campos.size(); ++i)
      if (MesmoNome(memoria_->Campos[i], nome)) return TCampo(memoria_->Linhas[linha_][i]);
    throw EBancoDados("Campo não encontrado na consulta: " + nome);
  }
  for (int i = 0; i < stmt_->getColumnCount(); ++i)
    if (MesmoNome(stmt_->getColumnName(i), nome)) return TCampo(LerColuna(stmt_->getColumn(i)));
  throw EBancoDados("Campo não encontrado na consulta: " + nome);
}

// ---------------------------------------------------------------- TQDClientDataSet

void TQDClientDataSet::Open() {
  if (!conexao_) throw EBancoDados("Conjunto de dados sem provedor (conexão)");
  campos_.clear();
  linhas_.clear();
  try {
    banco::TFormaExecucao forma = banco::FormaDeExecucao(*conexao_, sql_);
    if (forma.Linhas) {
      campos_ = std::move(forma.Linhas->Campos);
      linhas_ = std::move(forma.Linhas->Linhas);
      if (!filtro_.empty()) SetFilter(filtro_);
      First();
      return;
    }
    banco::TComando st(conexao_->Db(), forma.Sql);
    for (int i = 0; i < st.getColumnCount(); ++i) campos_.push_back(st.getColumnName(i));
    while (st.executeStep()) {
      std::vector<TCampo::Valor> linha;
      linha.reserve(campos_.size());
      for (int i = 0; i < st.getColumnCount(); ++i) linha.push_back(LerColuna(st.getColumn(i)));
      linhas_.push_back(std::move(linha));
    }
  } catch (const banco::EMotor& e) {
    ErroSQL(e, sql_);
  }
  if (!filtro_.empty()) SetFilter(filtro_);
  First();
}

void TQDClientDataSet::Close() {
  linhas_.clear();
  pos_ = 0;
}

void TQDClientDataSet::DefinirCampos(std::vector<std::string> nomes) {
  campos_ = std::move(nomes);
  linhas_.clear();
  pos_ = 0;
}

void TQDClientDataSet::AdicionarLinha(std::vector<TCampo::Valor> valores) {
  if (valores.size() != campos_.size()) throw std::invalid_argument("linha com número de campos diferente do conjunto");
  linhas_.push_back(std::move(valores));
}

void TQDClientDataSet::SetFieldValue(const std::string& nome, TCampo::Valor valor) {
  if (Eof()) throw EBancoDados("Sem registro corrente para alterar o campo " + nome);
  linhas_[pos_][static_cast<size_t>(IndiceCampo(nome))] = std::move(valor);
}

int TQDClientDataSet::IndiceCampo(const std::string& nome) const {
  for (size_t i = 0; i < campos_.size(); ++i)
    if (MesmoNome(campos_[i], nome)) return static_cast<int>(i);
  throw EBancoDados("Campo não encontrado no conjunto de dados: " + nome);
}

void TQDClientDataSet::SetFilter(std::string filtro) {
  filtro_ = std::move(filtro);
  condicoes_.clear();
  std::string resto = texto::Aparar(filtro_);
  auto erro = [&] { return EBancoDados("Filtro inválido: " + filtro_); };
  while (!resto.empty()) {
    size_t op = resto.find_first_of("=<>");
    if (op == std::string::npos) throw erro();
    std::string campo = texto::Aparar(resto.substr(0, op));
    size_t fimOp = op + 1;
    if (fimOp < resto.size() && (resto[fimOp] == '=' || resto[fimOp] == '>')) ++fimOp;
    std::string oper = resto.substr(op, fimOp - op);
    std::string depois = texto::Aparar(resto.substr(fimOp));
    TCampo::Valor valor;
    size_t consumido;
    if (!depois.empty() && depois[0] == '\'') {
      std::string v;
      size_t i = 1;
      for (; i < depois.size(); ++i) {
        if (depois[i] == '\'') {
          if (i + 1 < depois.size() && depois[i + 1] == '\'') { v.push_back('\''); ++i; continue; }
          break;
        }
        v.push_back(depois[i]);
      }
      if (i >= depois.size()) throw erro();
      valor = v;
      consumido = i + 1;
    } else {
      size_t fim = depois.find(' ');
      std::string num = depois.substr(0, fim);
      char* e = nullptr;
      long long iv = std::strtoll(num.c_str(), &e, 10);
      if (!num.empty() && *e == '\0') valor = static_cast<int64_t>(iv);
      else {
        double dv = std::strtod(num.c_str(), &e);
        if (num.empty() || *e != '\0') throw erro();
        valor = dv;
      }
      consumido = num.size();
    }
    if (campos_.empty() && linhas_.empty()) {
      // not opened yet: the filter is parsed again at Open
      condicoes_.clear();
      return;
    }
    condicoes_.push_back({static_cast<size_t>(IndiceCampo(campo)), oper, valor});
    resto = texto::Aparar(depois.substr(consumido));
    if (resto.empty()) break;
    if (resto.size() < 4 || !MesmoNome(resto.substr(0, 4), "AND ")) throw erro();
    resto = texto::Aparar(resto.substr(4));
  }
  AjustarPosicao();
}

void TQDClientDataSet::SetFiltered(bool ligado) {
  filtrado_ = ligado;
  First();
}

namespace {
int Comparar(const TCampo::Valor& a, const TCampo::Valor& b) {
  TCampo ca(a), cb(b);
  if (ca.IsNull() || cb.IsNull()) return ca.IsNull() == cb.IsNull() ? 0 : (ca.IsNull() ? -1 : 1);
  bool numA = !std::holds_alternative<std::string>(a), numB = !std::holds_alternative<std::string>(b);
  if (numA && numB) {
    double x = ca.AsFloat(), y = cb.AsFloat();
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  std::string x = ca.AsString(), y = cb.AsString();
  return x < y ? -1 : (x > y ? 1 : 0);
}
}  // namespace

bool TQDClientDataSet::Visivel(size_t linha) const {
  if (!filtrado_) return true;
  for (const auto& c : condicoes_) {
    int r = Comparar(linhas_[linha][c.campo], c.valor);
    bool ok = c.op == "=" ? r == 0 : c.op == "<>" ? r != 0 : c.op == "<" ? r < 0 : c.op == ">" ? r > 0
            : c.op == "<=" ? r <= 0 : r >= 0;
    if (!ok) return false;
  }
  return true;
}

void TQDClientDataSet::AjustarPosicao() {
  while (pos_ < linhas_.size() && !Visivel(pos_)) ++pos_;
}

void TQDClientDataSet::First() {
  pos_ = 0;
  AjustarPosicao();
}

void TQDClientDataSet::Next() {
  if (pos_ < linhas_.size()) ++pos_;
  AjustarPosicao();
}

bool TQDClientDataSet::Eof() const { return pos_ >= linhas_.size(); }

int TQDClientDataSet::RecordCount() const {
  int n = 0;
  for (size_t i = 0; i < linhas_.size(); ++i) n += Visivel(i);
  return n;
}

TCampo TQDClientDataSet::FieldByName(const std::string& nome) const {
  if (Eof()) throw EBancoDados("Campo " + nome + " lido sem registro corrente");
  return TCampo(linhas_[pos_][static_cast<size_t>(IndiceCampo(nome))]);
}

bool TQDClientDataSet::Locate(const std::string& campos, const std::vector<TCampo::Valor>& valores, bool parcial) {
  std::vector<size_t> idx;
  size_t ini = 0;
  while (ini <= campos.size()) {
    size_t fim = campos.find(';', ini);
    if (fim == std::string::npos) fim = campos.size();
    idx.push_back(static_cast<size_t>(IndiceCampo(texto::Aparar(campos.substr(ini, fim - ini)))));
    ini = fim + 1;
  }
  if (idx.size() != valores.size()) throw std::invalid_argument("Locate: número de campos e valores diferente");
  for (size_t l = 0; l < linhas_.size(); ++l) {
    if (!Visivel(l)) continue;
    bool ok = true;
    for (size_t k = 0; k < idx.size() && ok; ++k) {
      const auto& v = linhas_[l][idx[k]];
      if (parcial && std::holds_alternative<std::string>(valores[k])) {
        ok = texto::ComecaCom(TCampo(v).AsString(), std::get<std::string>(valores[k]));
      } else {
        ok = Comparar(v, valores[k]) == 0;
      }
    }
    if (ok) {
      pos_ = l;
      return true;
    }
  }
  return false;
}
