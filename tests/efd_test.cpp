// The client's EFD ICMS/IPI file: reading it (encodings, amounts, corrupt lines), loading it into
// the demo office, settling it and writing block E back, with the client's figures computed by hand
// from the file's documents.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ambiente.h"
#include "efd/arquivoefd.h"
#include "efd/blocoe.h"
#include "efd/conferenciaefd.h"
#include "efd/importacaoefd.h"
#include "host/banco/periodoalterado.h"
#include "host/impressao/substituicao.h"
#include "utilitarios.h"

namespace {

const std::string kArquivoSP = std::string(LIVRO_TESTES_DIR) + "/efd/cliente_sp_jan2026.txt";

// The file's structure around its lines: each block opened by X001 and closed by X990 with its
// count, block 9 with a 9900 line per record and the file's count in 9999. Counts are structure the
// tests of content do not care about; the test of the counts writes its file by hand.
std::string Estruturar(const std::string& linhas) {
  std::string r, linha;
  std::map<std::string, int64_t> contagem;
  int64_t total = 0, noBloco = 0;
  char bloco = 0;
  bool fechado = true;
  auto acrescentar = [&](const std::string& l) {
    const std::string reg = l.substr(l[0] == '|' ? 1 : 0, 4);
    ++contagem[reg];
    ++total;
    ++noBloco;
    fechado = reg.compare(1, 3, "990") == 0;
    r += l + "\r\n";
  };
  auto fechar = [&] {
    if (!fechado) acrescentar("|" + std::string(1, bloco) + "990|" + std::to_string(noBloco + 1) + "|");
  };
  std::istringstream in(linhas);
  while (std::getline(in, linha)) {
    if (!linha.empty() && linha.back() == '\r') linha.pop_back();
    if (linha.empty()) continue;
    const std::string reg = linha.substr(linha[0] == '|' ? 1 : 0, 4);
    if (reg[0] != bloco) {
      fechar();
      bloco = reg[0];
      noBloco = 0;
      if (reg != "0000" && reg.compare(1, 3, "001") != 0) acrescentar("|" + std::string(1, bloco) + "001|0|");
    }
    acrescentar(linha);
  }
  fechar();
  const int64_t antes = total;
  for (const char* reg : {"9001", "9900", "9990", "9999"}) contagem[reg] = 1;
  contagem["9900"] = static_cast<int64_t>(contagem.size());
  r += "|9001|0|\r\n";
  for (const auto& [reg, n] : contagem) r += "|9900|" + reg + "|" + std::to_string(n) + "|\r\n";
  const int64_t bloco9 = 1 + contagem["9900"] + 2;
  r += "|9990|" + std::to_string(bloco9) + "|\r\n|9999|" + std::to_string(antes + bloco9) + "|\r\n";
  return r;
}

// A file of an SP establishment for January 2026 around the records given.
std::string Arquivo(const std::string& corpo) {
  return Estruturar("|0000|019|0|01012026|31012026|MERCADO TESTE LTDA|55666777000188||SP|555666777888|3550308|||A|1|\r\n"
                    "|0150|F001|FORNECEDOR|1058|11222333000181||123|3550308||RUA|1|||\r\n" +
                    corpo);
}

efd::TArquivoEFD LerTexto(const std::string& texto) {
  std::istringstream in(texto);
  return efd::LerArquivoEFD(in, "cliente.txt");
}

class EFD : public AmbienteTeste {
 protected:
  efd::TResumoImportacao Importar(const efd::TArquivoEFD& a) { return efd::TImportacaoEFD(*conexao_).Importar(a); }
  // As `efd importar` loads a file: while reading it.
  efd::TResumoImportacao ImportarTexto(const std::string& texto) {
    std::istringstream in(texto);
    efd::TArquivoEFD lido;
    return efd::TImportacaoEFD(*conexao_).ImportarArquivo(in, "cliente.txt", lido);
  }
  int64_t Filial() { return std::stoll(Valor("SELECT IDFILIAL FROM SC00_FILIAL WHERE CNPJ = '98765432000198'")); }
};

}  // namespace

TEST(LeituraEFD, TextoValoresEDatas) {
  // Latin-1 and UTF-8 lines in one file, amounts with a decimal comma and up to two decimals, the
  // signature after 9999 never read.
  const std::string latin1 = "|0150|F002|ACU\xC7" "AR S\xC3O JO\xC3O|1058|||||||||\r\n";
  const std::string utf8 = "|0150|F003|MA\xC3\xA7\xC3\xA3 DOCE|1058|||||||||\r\n";
  efd::TArquivoEFD a = LerTexto(Arquivo(latin1 + utf8 +
                                        "|C100|0|1|F001|55|00|1|7||05012026|06012026|10,5|\r\n"
                                        "|C190|000|1102|18|1234,5|0,05|0|0|0|0|0|\r\n") +
                                "\x30\x82\x05\xff assinatura digital, binária");
  EXPECT_EQ(a.Participantes.at("F002").Nome, "ACUÇAR SÃO JOÃO");
  EXPECT_EQ(a.Participantes.at("F003").Nome, "MAçã DOCE");
  const efd::TAnaliticoEFD& c = a.Documentos.at(0).Analiticos.at(0);
  EXPECT_EQ(c.Aliquota, Currency::FromInt(18));
  EXPECT_EQ(c.ValorOperacao.Raw(), 12345000);
  EXPECT_EQ(c.BaseICMS.Raw(), 500);
  EXPECT_EQ(c.ICMS.Raw(), 0);
  EXPECT_EQ(a.Documentos.at(0).DataEscrituracao(), EncodeDate(2026, 1, 6));
  EXPECT_EQ(efd::ValorEFD(Currency::FromRaw(12345678)), "1234,57");
  EXPECT_EQ(efd::ParaLatin1("CRÉDITO €"), "CR\xC9" "DITO ?");
}

TEST(LeituraEFD, LinhaCorrompidaNomeiaLinhaRegistroECampo) {
  const std::string doc = "|C100|0|1|F001|55|00|1|7||05012026|06012026|10,50|\r\n";
  struct TCaso {
    std::string corpo, trechos[3];
  };
  const TCaso casos[] = {
      {doc + "|C190|000|1102|18,00|12.3|0|0|0|0|0|0|\r\n",
       {"cliente.txt, linha 6, registro C190, campo 05 (VL_OPR): valor inválido \"12.3\"",
        "\n  |C190|000|1102|18,00|12.3|", "\n" + std::string(23, ' ') + "^"}},
      {doc + "|C190|000|1102|18,00|12,30|0|0|0|0|0|0|\r\nC190|000|\r\n",
       {"linha 7: a linha não começa e termina com '|'", "", ""}},
      {"|C190|000|1102|18,00|12,30|0|0|0|0|0|0|\r\n", {"linha 5, registro C190: registro C190 fora de um documento (C100)", "", ""}},
      {"|C100|0|1|F009|55|00|1|7||05012026|06012026|10,50|\r\n",
       {"campo 04 (COD_PART): participante \"F009\" não informado no registro 0150", "", ""}},
      {"|C100|0|1|F001|55|00|1|7||31022026|06012026|10,50|\r\n", {"campo 10 (DT_DOC): data inválida \"31022026\"", "", ""}},
      {"|E100|01012026|31012026|\r\n|E110|1|2|3|\r\n", {"registro E110: o registro tem 4 campos; o leiaute pede pelo menos 15", "", ""}},
  };
  for (const TCaso& c : casos) {
    const std::string erro = Erro<efd::EArquivoEFD>([&] { LerTexto(Arquivo(c.corpo)); });
    for (const std::string& t : c.trechos) EXPECT_CONTEM(erro, t);
  }
  EXPECT_CONTEM(Erro<efd::EArquivoEFD>([&] { LerTexto("|0000|019|0|01012026|31012026|X|55666777000188||SP|1|3550308|||A|1|\r\n"); }),
                "linha 1: o arquivo termina sem o registro 9999 (arquivo incompleto)");
  EXPECT_CONTEM(Erro<efd::EArquivoEFD>([&] { LerTexto("|0150|F001|X|1058|||||||||\r\n|9999|2|\r\n"); }),
                "linha 1, registro 0150: o arquivo deve começar pelo registro 0000");
}

// A reader with a receptor hands each document on when the next one opens or its block closes, while
// block E is still unread, and keeps none: a file's size does not weigh on memory.
TEST(LeituraEFD, DocumentosEntreguesUmAUmSemGuardar) {
  std::istringstream in(Arquivo("|C100|1|0|F001|55|00|1|10||10012026|10012026|100,00|\r\n"
                                "|C190|000|5102|18,00|100,00|100,00|18,00|0|0|0|0||\r\n"
                                "|C100|1|0|F001|55|00|1|11||11012026|11012026|50,00|\r\n"
                                "|C190|000|5102|18,00|30,00|30,00|5,40|0|0|0|0||\r\n"
                                "|C190|000|6102|12,00|20,00|20,00|2,40|0|0|0|0||\r\n"
                                "|E100|01012026|31012026|\r\n"
                                "|E110|25,80|0|0|0|0|0|0|0|0|25,80|0|25,80|0|0|\r\n"));
  efd::TArquivoEFD a;
  std::vector<std::string> entregues;
  efd::LerArquivoEFD(in, "cliente.txt", a, [&](const efd::TDocumentoEFD& d) {
    entregues.push_back(std::to_string(d.Numero) + ":" + std::to_string(d.Analiticos.size()) + " " +
                        std::to_string(a.ApuracoesICMS.size()));
  });
  EXPECT_EQ(entregues, (std::vector<std::string>{"10:1 0", "11:2 0"}));
  EXPECT_TRUE(a.Documentos.empty());
  ASSERT_EQ(a.ApuracoesICMS.size(), 1u);
  EXPECT_EQ(a.ApuracoesICMS[0].E110[13].Raw(), 258000);
}

// The file of tests/efd/cliente_sp_jan2026.txt, an SP shop in January 2026, worked by hand:
//   entries (credits): NF-e 1001 CFOP 1102 1.800,00; NF-e 1002 CFOP 1411 180,00 (and ST 150,00 of a
//     return, participant in SP); energy C500 5555 CFOP 1253 90,00; CT-e D100 777 CFOP 1353 36,00
//     -> 2.106,00 (field 06)
//   exits (debits): NF-e 501 CFOP 6102 2.400,00; NF-e 502 CFOP 5403 1.800,00 (ST 360,00 to an SP
//     participant); NFC-e 9001 CST 040 300,00 exempt; reduction Z 100 180,00; CF-e 123 36,00
//     -> 4.416,00 (field 02); NF-e 503 cancelled: nothing; NF-e 400 of December (COD_SIT 01):
//     its 120,00 is a special debit (field 15)
//   C197 SP10090001 on NF-e 502: 3rd char 1 (credit), 4th 0 (own) -> field 07, 100,00
//   E111: SP009999 50,00 (04), SP019999 20,00 (05), SP029999 30,00 (08, with an E113), SP049999
//     40,00 (12); E110 field 10 brings a carried credit of 500,00
//   S = (4.416 + 0 + 50 + 20) - (2.106 + 100 + 30 + 0 + 500) = 1.750,00 = field 11; 13 = 1.750 -
//     40 = 1.710,00; 14 = 0
//   ST SP: retention 360,00 (08), returns 150,00 (04): 11 = 13 = 210,00
//   The client's E116 lines add up to 13 + 15 = 1.710,00 + 120,00 and its E250 to 210,00: block E
//   gives them back as the file has them (the special debit's reference month 12/2025 included).
TEST_F(EFD, ArquivoImportadoApuradoEDevolvidoNoBlocoE) {
  const efd::TArquivoEFD arquivo = efd::LerArquivoEFD(kArquivoSP);
  const efd::TResumoImportacao r = Importar(arquivo);
  const int64_t f = Filial();
  EXPECT_TRUE(r.FilialCriada);
  EXPECT_EQ(r.Entradas, 4);
  EXPECT_EQ(r.Saidas, 5);
  EXPECT_EQ(r.SemValor, 1);
  EXPECT_EQ(r.Extemporaneos, 1);
  EXPECT_EQ(r.Ignorados.at("0200"), 1);
  const std::string sf = std::to_string(f);
  // The establishment and what the settlement needs of it.
  EXPECT_EQ(Linhas("SELECT F.FILIAL, F.EHMATRIZ, F.IESTADUAL, M.NOME, E.NOME FROM SC00_FILIAL F"
                   " JOIN CA06_MUNICIPIO M ON M.IDMUNICIPIO = F.IDMUNICIPIO JOIN SC00_EMPRESA E ON E.IDEMPRESA = F.IDEMPRESA"
                   " WHERE F.IDFILIAL = " + sf),
            "1|1|111222333444|São Paulo|LOJA EFD TESTE LTDA\n");
  EXPECT_EQ(Linhas("SELECT CAST(PERIODICIDADE AS TEXT) FROM HS_PERIODICIDADE WHERE IDFILIAL = " + sf + " UNION ALL "
                   "SELECT UF || ' ' || INSCREST FROM HS_INSCRICAOST WHERE IDFILIAL = " + sf + " UNION ALL "
                   "SELECT C.TP || ' ' || COALESCE(R.CODIGO, C.INFORMACAO1) || ' ' || COALESCE(CAST(R.TPDIAVENCTO AS TEXT), '') || ' ' ||"
                   " COALESCE(CAST(R.DIAVENCTO AS TEXT), '') FROM ES02_CFG C LEFT JOIN ES02_CODIGOREC R ON C.TP IN ('2', '7')"
                   " AND R.IDCODIGOREC = C.INFORMACAO1 WHERE C.IDFILIAL = " + sf + " ORDER BY 1"),
            "2 046-2 0 20\n7\n7 063-2 0 9\n9 MARIA CONTADORA  \nSP 111222333444\n");
  // Items: the exempt NFC-e, the ST exit and the ST return.
  EXPECT_EQ(Linhas("SELECT C.CFOP, D.VLRCONTABIL, D.BCICMS, D.ICMS, D.ISENTASICMS, D.OUTRASICMS, D.ICMSST, D.DEBITOST"
                   " FROM ES02_SAIDADET D JOIN ES02_SAIDA S ON S.IDSAIDA = D.IDSAIDA JOIN ES02_CFOP C ON C.IDCFOP = D.IDCFOP"
                   " WHERE S.IDFILIAL = " + sf + " AND S.NUMERO IN (502, 9001) ORDER BY S.NUMERO"),
            "5.403.000|10360|10000|1800|0|360|360|1\n5.102.000|300|0|0|300|0|0|0\n");
  EXPECT_EQ(Valor("SELECT D.CREDITOST || ' ' || D.ICMSST FROM ES02_ENTRADADET D JOIN ES02_ENTRADA E"
                  " ON E.IDENTRADA = D.IDENTRADA WHERE E.IDFILIAL = " + sf + " AND E.NUMERO = 1002"),
            "1 150");
  // Settlement entries: adjustments, the special debit of the December exit, the carried credit.
  EXPECT_EQ(Linhas("SELECT L.TPLANCAMENTO, L.VALOR, L.DATA, L.GERADO, A.INFORMACAO1, A.INFORMACAO2, A.INFORMACAO3"
                   " FROM ES02_LCTOAPUR L LEFT JOIN ES02_LCTOAPURAUX A ON A.IDLCTOAPUR = L.IDLCTOAPUR AND A.TP = 20"
                   " WHERE L.IDFILIAL = " + sf + " ORDER BY L.IDLCTOAPUR"),
            "1|100|2026-01-12|0|SP10090001|C197|7\n"
            "13|120|2026-01-01|0|NULL|C100|15\n"
            "15|50|2026-01-01|0|SP009999|E111|4\n"
            "4|20|2026-01-01|0|SP019999|E111|5\n"
            "1|30|2026-01-01|0|SP029999|E111|8\n"
            "8|40|2026-01-01|0|SP049999|E111|12\n"
            "5|500|2026-01-01|1|NULL|NULL|NULL\n");

  Apurar("01/01/2026", "31/01/2026", f);
  EXPECT_EQ(Linhas("SELECT IMPOSTO, VLRIMPOSTO, CODIGOREC, VENCIMENTO FROM TR04_IMPOSTO WHERE IDFILIAL = " + sf +
                   " ORDER BY IMPOSTO"),
            "2001|1710|046-2|2026-02-20\n4026|210|063-2|2026-02-09\n");
  const efd::TBlocoE bloco = efd::MontarBlocoE(*conexao_, f, EncodeDate(2026, 1, 1), EncodeDate(2026, 1, 31));
  EXPECT_TRUE(bloco.Avisos.empty());
  EXPECT_EQ(efd::EscreverBlocoE(bloco),
            "|E001|0|\r\n"
            "|E100|01012026|31012026|\r\n"
            "|E110|4416,00|0,00|50,00|20,00|2106,00|100,00|30,00|0,00|500,00|1750,00|40,00|1710,00|0,00|120,00|\r\n"
            "|E111|SP009999|OUTROS DÉBITOS DO MÊS|50,00|\r\n"
            "|E111|SP019999|ESTORNO DE CRÉDITO DE USO E CONSUMO|20,00|\r\n"
            "|E111|SP029999|CRÉDITO DE PRODUTOR|30,00|\r\n"
            "|E113|F001|55|1||1001|05012026||30,00||\r\n"
            "|E111|SP049999|DEDUÇÃO DE PROGRAMA|40,00|\r\n"
            "|E116|000|1710,00|20022026|046-2|||||012026|\r\n"
            "|E116|090|120,00|20022026|046-2|||||122025|\r\n"
            "|E200|SP|01012026|31012026|\r\n"
            "|E210|1|0,00|150,00|0,00|0,00|0,00|360,00|0,00|0,00|210,00|0,00|210,00|0,00|0,00|\r\n"
            "|E250|002|210,00|09022026|063-2|||||012026|\r\n"
            "|E990|14|\r\n");
  const efd::TConferencia c = efd::ConferirBlocoE(arquivo, bloco);
  EXPECT_EQ(c.Diferencas, 0) << c.Texto;

  // The client wrote 4.426,00 of debits: field 02 and the balances that follow it differ.
  efd::TArquivoEFD errado = arquivo;
  errado.ApuracoesICMS[0].E110[2] = Currency::FromInt(4426);
  const efd::TConferencia d = efd::ConferirBlocoE(errado, bloco);
  EXPECT_EQ(d.Diferencas, 1);
  EXPECT_CONTEM(d.Texto, "02 VL_TOT_DEBITOS                           4.426,00          4.416,00             10,00  <==");
}

TEST_F(EFD, NovaImportacaoSubstituiAAnteriorSemTocarNoQueNaoEhDela) {
  const efd::TArquivoEFD arquivo = efd::LerArquivoEFD(kArquivoSP);
  Importar(arquivo);
  const int64_t f = Filial();
  const std::string sf = std::to_string(f);
  Sql("INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA, DESCRICAO)"
      " VALUES (" + sf + ", 1, 1, '2001', 7, '2026-01-15', 'DIGITADO')");
  const std::string contagem =
      "SELECT (SELECT COUNT(*) FROM ES02_ENTRADA) || ' ' || (SELECT COUNT(*) FROM ES02_ENTRADADET) || ' ' ||"
      " (SELECT COUNT(*) FROM ES02_SAIDA) || ' ' || (SELECT COUNT(*) FROM ES02_SAIDADET) || ' ' ||"
      " (SELECT COUNT(*) FROM ES02_LCTOAPUR) || ' ' || (SELECT COUNT(*) FROM ES02_LCTOAPURAUX) || ' ' ||"
      " (SELECT COUNT(*) FROM ES02_CLIFOR) || ' ' || (SELECT COUNT(*) FROM SC00_FILIAL) || ' ' ||"
      " (SELECT COUNT(*) FROM HS_IMPORTACAOEFD)";
  const std::string antes = Valor(contagem);
  EXPECT_TRUE(Importar(arquivo).Substituiu);
  EXPECT_EQ(Valor(contagem), antes);

  // A file without the ST return replaces the earlier import: one entry document less.
  efd::TArquivoEFD menor = arquivo;
  std::erase_if(menor.Documentos, [](const efd::TDocumentoEFD& d) { return d.Numero == 1002; });
  Importar(menor);
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM ES02_ENTRADA WHERE IDFILIAL = " + sf), "3");
  EXPECT_EQ(Valor("SELECT VALOR FROM ES02_LCTOAPUR WHERE DESCRICAO = 'DIGITADO'"), "7");

  // Settling December carries its own credit balance (0,00, no documents) into January: the
  // client's 500,00 gives way, and a new import keeps the settlement's figure.
  Apurar("01/12/2025", "31/12/2025", f, "icms");
  EXPECT_EQ(Valor("SELECT VALOR || ' ' || COALESCE(CAST(IDIMPORTACAO AS TEXT), 'settled') FROM ES02_LCTOAPUR WHERE TPLANCAMENTO = 5"
                  " AND DATA = '2026-01-01' AND IDFILIAL = " + sf),
            "0 settled");
  const efd::TResumoImportacao r = Importar(arquivo);
  EXPECT_EQ(Valor("SELECT COUNT(*) || ' ' || SUM(VALOR) FROM ES02_LCTOAPUR WHERE TPLANCAMENTO = 5 AND DATA = '2026-01-01'"
                  " AND IDFILIAL = " + sf),
            "1 0");
  EXPECT_CONTEM(r.Texto(), "Saldo credor anterior de 2001 em 01/01/2026: mantido o da apuração (0,00); o arquivo traz 500,00.");

  // An import whose period crosses this one, and a file of another state under this CNPJ, are
  // refused before anything is written.
  const std::string tudo = TodasAsLinhas();
  efd::TArquivoEFD quinzena = arquivo;
  quinzena.Entidade.Fim = EncodeDate(2026, 1, 15);
  EXPECT_CONTEM(Erro<efd::EImportacaoEFD>([&] { Importar(quinzena); }),
                "O período do arquivo (01/01/2026 a 15/01/2026) cruza o de outra importação deste estabelecimento");
  efd::TArquivoEFD outraUF = arquivo;
  outraUF.Entidade.UF = "RJ";
  EXPECT_CONTEM(Erro<efd::EImportacaoEFD>([&] { Importar(outraUF); }), "fica em SP; o arquivo é de RJ.");
  EXPECT_EQ(TodasAsLinhas(), tudo);
}

// Block E of the demo's São Paulo head office over its first quarter (user entries of every kind,
// ICMS-ST of RJ and MG), read back as the client's file would be: every E110 and E210 obeys the
// layout's equations, the obligations add up to the tax due plus the special debits, and E990
// counts the block's lines.
TEST_F(EFD, BlocoEDoEscritorioObedeceAsEquacoesDoLeiaute) {
  Apurar("01/01/2026", "31/03/2026");
  const efd::TBlocoE bloco = efd::MontarBlocoE(*conexao_, 1, EncodeDate(2026, 1, 1), EncodeDate(2026, 3, 31));
  const std::string texto = efd::EscreverBlocoE(bloco);
  const efd::TArquivoEFD lido = LerTexto(Arquivo(texto));
  ASSERT_EQ(lido.ApuracoesICMS.size(), 3u);
  ASSERT_FALSE(lido.ApuracoesST.empty());
  auto maior = [](Currency a) { return a > Currency() ? a : Currency(); };
  for (const auto& p : lido.ApuracoesICMS) {
    const auto& c = p.E110;
    const Currency s = c[2] + c[3] + c[4] + c[5] - (c[6] + c[7] + c[8] + c[9] + c[10]);
    EXPECT_EQ(c[11], maior(s));
    EXPECT_EQ(c[13], maior(c[11] - c[12]));
    EXPECT_EQ(c[14], maior(c[12] - s));
    Currency obrigacoes;
    for (const auto& o : p.Obrigacoes) obrigacoes += o.Valor;
    EXPECT_EQ(obrigacoes, c[13] + c[15]) << DataBR(p.Inicio);
  }
  for (const auto& p : lido.ApuracoesST) {
    const auto& c = p.E210;
    const Currency s = c[8] + c[9] + c[10] - (c[3] + c[4] + c[5] + c[6] + c[7]);
    EXPECT_EQ(c[11], maior(s));
    EXPECT_EQ(c[13], maior(c[11] - c[12]));
    EXPECT_EQ(c[14], maior(c[12] - s));
    // MG has no inscription: its ST is paid by the GNRE guides of the period's exits, January
    // 952,70 + 1.185,57 = 2.138,27 and February 1.684,68 + 812,53 = 2.497,21; March has none
    // (4.873,17 of ST debits - 449,33 of credits = 4.423,84 owed), and the block says so.
    Currency obrigacoes;
    for (const auto& o : p.Obrigacoes) obrigacoes += o.Valor;
    if (p.UF != "MG" || p.Inicio != EncodeDate(2026, 3, 1)) {
      EXPECT_EQ(obrigacoes, c[13] + c[15]) << p.UF << " " << DataBR(p.Inicio);
    }
  }
  EXPECT_CONTEM(texto, "|E250|999|952,70|22012026|100048|||||012026|\r\n");
  ASSERT_EQ(bloco.Avisos.size(), 1u);
  EXPECT_EQ(bloco.Avisos[0], "ICMS-ST MG de 01/03/2026 a 31/03/2026: as obrigações (E250) somam 0,00 e o leiaute pede "
                             "4.423,84 (E210 campos 13 e 15): faltam guias GNRE do período.");
  // Every line by the layout: its field count; an E111 code of the establishment's state (SP), own
  // ICMS (3rd character 0) and a use 0 to 5, an E220 code of the E200's state and ICMS-ST (1); E116
  // and E250 with a due date, a revenue code and the reference month (mmaaaa). The amounts were read
  // above as the layout writes them (no sign, two decimals).
  const std::map<std::string, size_t> campos = {{"E001", 2}, {"E100", 3}, {"E110", 15}, {"E111", 4}, {"E116", 10},
                                                {"E200", 4}, {"E210", 15}, {"E220", 4}, {"E250", 10}, {"E990", 2}};
  std::istringstream registros(texto);
  std::string linha, ufST;
  while (std::getline(registros, linha)) {
    if (!linha.empty() && linha.back() == '\r') linha.pop_back();
    std::vector<std::string> f;
    std::istringstream partes(linha.substr(1, linha.find_last_of('|') - 1));
    for (std::string c; std::getline(partes, c, '|');) f.push_back(c);
    if (linha.find_last_of('|') > 0 && linha[linha.find_last_of('|') - 1] == '|') f.push_back("");
    const std::string& reg = f.at(0);
    if (reg == "E112" || reg == "E113" || reg == "E230" || reg == "E240") continue;  // as the adjustment has them
    ASSERT_TRUE(campos.count(reg)) << linha;
    EXPECT_EQ(f.size(), campos.at(reg)) << linha;
    if (reg == "E200") ufST = f[1];
    if (reg == "E111" || reg == "E220") {
      const std::string& cod = f[1];
      ASSERT_EQ(cod.size(), 8u) << linha;
      EXPECT_EQ(cod.substr(0, 2), reg == "E111" ? "SP" : ufST) << linha;
      EXPECT_EQ(cod[2], reg == "E111" ? '0' : '1') << linha;
      EXPECT_TRUE(cod[3] >= '0' && cod[3] <= '5') << linha;
    }
    if (reg == "E116" || reg == "E250") {
      EXPECT_EQ(f[3].size(), 8u) << linha;
      EXPECT_FALSE(f[4].empty()) << linha;
      EXPECT_EQ(f[9].size(), 6u) << linha;
    }
  }
  // The figures of db/demo.sql: January debits 48.644,55 and credits 36.220,57 of the registers,
  // other credits 1.250,00 + 420,00 (the centralised branch's, read by the head office), debit
  // reversal 380,40, the specific debit 2.150,00: 11 = 13 = 10.373,58, paid with 2.150,00 more.
  // February carries 8.238,12, March's field 10.
  EXPECT_CONTEM(texto, "|E110|48644,55|0,00|0,00|0,00|36220,57|0,00|1670,00|380,40|0,00|10373,58|0,00|10373,58|0,00|"
                       "2150,00|\r\n");
  EXPECT_EQ(lido.ApuracoesICMS[1].E110[14], Currency::FromRaw(82381200));
  EXPECT_EQ(lido.ApuracoesICMS[2].E110[10], Currency::FromRaw(82381200));
  const auto linhas = static_cast<int64_t>(std::count(texto.begin(), texto.end(), '\n'));
  EXPECT_CONTEM(texto, "|E990|" + std::to_string(linhas) + "|\r\n");
}

// A corrected file of a settled January: NF-e 501 (CFOP 6102, 12%) goes from 20.000,00 to
// 25.000,00, 600,00 more of debits. What the settlement recorded (ICMS 1.710,00, ST 210,00) no
// longer follows from the documents: block E refuses both taxes' period until it is settled again,
// then writes field 02 = 4.416,00 + 600,00 = 5.016,00 and 13 = 1.710,00 + 600,00 = 2.310,00.
// Importing the same file again changes nothing and marks nothing.
TEST_F(EFD, ArquivoRetificadorDePeriodoApuradoExigeNovaApuracao) {
  const std::string original = Ler(kArquivoSP);
  std::string retificador = original;
  auto trocar = [&](const std::string& de, const std::string& para) {
    ASSERT_NE(retificador.find(de), std::string::npos) << de;
    retificador.replace(retificador.find(de), de.size(), para);
  };
  trocar("|0000|019|0|", "|0000|019|1|");
  trocar("|08012026|08012026|20000,00|1|0|0|20000,00|0|0|0|0|20000,00|2400,00|",
         "|08012026|08012026|25000,00|1|0|0|25000,00|0|0|0|0|25000,00|3000,00|");
  trocar("|C190|000|6102|12,00|20000,00|20000,00|2400,00|", "|C190|000|6102|12,00|25000,00|25000,00|3000,00|");
  Importar(LerTexto(original));
  const int64_t f = Filial();
  const TDateTime ini = EncodeDate(2026, 1, 1), fim = EncodeDate(2026, 1, 31);
  Apurar("01/01/2026", "31/01/2026", f);
  EXPECT_FALSE(Importar(LerTexto(original)).ApuracaoDesatualizada);
  EXPECT_NO_THROW(efd::MontarBlocoE(*conexao_, f, ini, fim));

  const efd::TResumoImportacao r = Importar(LerTexto(retificador));
  EXPECT_TRUE(r.ApuracaoDesatualizada);
  EXPECT_CONTEM(r.Texto(), "Aviso: O imposto 2001 de 01/01/2026 a 31/01/2026 já estava apurado e o arquivo mudou os "
                           "dados do período: apure-o de novo antes de exportar o bloco E.");
  const std::string erro = Erro<banco::EPeriodoAlterado>([&] { efd::MontarBlocoE(*conexao_, f, ini, fim); });
  EXPECT_CONTEM(erro, "O bloco E não pode ser gerado");
  EXPECT_CONTEM(erro, "- imposto 2001, 01/01/2026 a 31/01/2026 (importação de cliente.txt)");
  EXPECT_CONTEM(erro, "- imposto 4026, 01/01/2026 a 31/01/2026");

  // Settling ICMS alone leaves the ST of the period stale.
  Apurar("01/01/2026", "31/01/2026", f, "icms");
  EXPECT_CONTEM(Erro<banco::EPeriodoAlterado>([&] { efd::MontarBlocoE(*conexao_, f, ini, fim); }), "- imposto 4026");
  Apurar("01/01/2026", "31/01/2026", f);
  EXPECT_CONTEM(efd::EscreverBlocoE(efd::MontarBlocoE(*conexao_, f, ini, fim)),
                "|E110|5016,00|0,00|50,00|20,00|2106,00|100,00|30,00|0,00|500,00|2350,00|40,00|2310,00|0,00|120,00|");
}

// A file written by hand with its counts: block 0 has lines 1-4 (0990: 4), block C lines 5-10
// (C990: 6), block 9 lines 11-25 (9001, twelve 9900, 9990 and the 9999 it counts: 15), 25 lines
// in all. Two exits, 1.710,00 and 536,00 (2.246,00). Each case changes one thing and is refused
// with file, line, record, field and rule, before anything is written.
TEST_F(EFD, ArquivoInconsistenteRecusadoSemGravarNada) {
  const std::string base =
      "|0000|019|0|01012026|31012026|MERCADO TESTE LTDA|55666777000188||SP|555666777888|3550308|||A|1|\r\n"
      "|0001|0|\r\n"
      "|0150|F001|FORNECEDOR|1058|11222333000181||123|3550308||RUA|1|||\r\n"
      "|0990|4|\r\n"
      "|C001|0|\r\n"
      "|C100|1|0|F001|55|00|1|10||10012026|10012026|1710,00|\r\n"
      "|C190|000|5102|18,00|1710,00|1710,00|307,80|0,00|0,00|0,00|0,00||\r\n"
      "|C100|1|0|F001|55|00|1|11||12012026|12012026|536,00|\r\n"
      "|C190|000|5102|12,00|536,00|536,00|64,32|0,00|0,00|0,00|0,00||\r\n"
      "|C990|6|\r\n"
      "|9001|0|\r\n"
      "|9900|0000|1|\r\n|9900|0001|1|\r\n|9900|0150|1|\r\n|9900|0990|1|\r\n|9900|C001|1|\r\n|9900|C100|2|\r\n"
      "|9900|C190|2|\r\n|9900|C990|1|\r\n|9900|9001|1|\r\n|9900|9900|12|\r\n|9900|9990|1|\r\n|9900|9999|1|\r\n"
      "|9990|15|\r\n"
      "|9999|25|\r\n";
  ASSERT_EQ(LerTexto(base).Documentos.size(), 2u);
  auto com = [&](const std::string& de, const std::string& para) {
    std::string t = base;
    t.replace(t.find(de), de.size(), para);
    return t;
  };
  const std::string c190 = "|C190|000|5102|18,00|1710,00|1710,00|307,80|0,00|0,00|0,00|0,00||\r\n";
  const std::string cortado = base.substr(0, base.find("|9001|"));
  struct TCaso {
    std::string arquivo, erro;
  };
  const TCaso casos[] = {
      {com(c190, c190 + "|C190|000|5102|18,00|2400,00|2400,00|432,00|0,00|0,00|0,00|0,00||\r\n"),
       "cliente.txt, linha 8, registro C190, campo 02 (CST_ICMS): CST 000, CFOP 5102 e alíquota 18,00 já informados na "
       "linha 7 do mesmo documento"},
      {com("|0150|", "|0150|F001|OUTRO|1058|||||||||\r\n|0150|"),
       "linha 4, registro 0150, campo 02 (COD_PART): participante \"F001\" informado mais de uma vez"},
      {cortado + "|9999|11|\r\n", "linha 11, registro 9999: o arquivo termina sem o bloco 9 completo"},
      {cortado + "|9999|25|\r\n", "linha 11, registro 9999, campo 02 (QTD_LIN): o registro informa 25 linhas no arquivo; há 11"},
      // the second C100 lost: its C190 joins the first document, and C990 counts one line more
      {com("|C100|1|0|F001|55|00|1|11||12012026|12012026|536,00|\r\n", ""),
       "linha 9, registro C990, campo 02 (QTD_LIN): o registro informa 6 linhas no bloco C; há 5"},
      {com("|9900|C190|2|", "|9900|C190|3|"),
       "linha 18, registro 9900, campo 03 (QTD_REG_BLC): o registro informa 3 registros C190; o arquivo tem 2"},
      {com("|9900|C190|2|\r\n", ""), "linha 23, registro 9990, campo 02 (QTD_LIN): o registro informa 15 linhas no bloco 9; há 14"},
      {com("|307,80|", "||"), "linha 7, registro C190, campo 07 (VL_ICMS): valor obrigatório em branco"},
      {com("|1710,00|1710,00|307,80|", "|-1710,00|1710,00|307,80|"),
       "linha 7, registro C190, campo 05 (VL_OPR): valor negativo \"-1710,00\""},
      {com("|307,80|", "|307,800|"), "campo 07 (VL_ICMS): valor com mais de duas casas decimais \"307,800\""},
      {com("|000|5102|18,00|", "|000|1102|18,00|"),
       "linha 7, registro C190, campo 03 (CFOP): CFOP 1102 de entrada num documento de saída"},
      {com("|12012026|12012026|", "|12012026|01022026|"),
       "linha 8, registro C100, campo 11 (DT_E_S): data 01/02/2026 fora do período do arquivo (01/01/2026 a 31/01/2026)"},
      {com("|01012026|31012026|", "|15012026|31012026|"),
       "linha 1, registro 0000, campo 04 (DT_INI): o período do arquivo deve começar no primeiro dia do mês"},
      {com("|01012026|31012026|", "|01122025|31012026|"),
       "linha 1, registro 0000, campo 05 (DT_FIN): o período do arquivo deve terminar no mesmo mês de DT_INI"},
  };
  // Loaded as read: the documents before the faulty line were written, and go with the rest.
  const std::string tudo = TodasAsLinhas();
  for (const TCaso& c : casos) {
    EXPECT_CONTEM(Erro<efd::EArquivoEFD>([&] { ImportarTexto(c.arquivo); }), c.erro) << c.erro;
  }
  // A field of three megabytes is named, not repeated.
  const std::string enorme = Erro<efd::EArquivoEFD>(
      [&] { LerTexto(com("|1710,00|1710,00|307,80|", "|x" + std::string(3000000, '9') + "|1710,00|307,80|")); });
  EXPECT_CONTEM(enorme, "campo 05 (VL_OPR): valor inválido \"x999999999");
  EXPECT_LT(enorme.size(), 600u);
  EXPECT_EQ(TodasAsLinhas(), tudo);
}

// The code of an analytical line is origin digit and taxation code, except on the exits of a
// Simples Nacional declarant (micro or small enterprise), which carry a CSOSN. What exceeds the base:
//   exit CST 300 (imported, taxed 00): 1.000,00 - 800,00 = 200,00 to "outras"; exit 103 (origin 1,
//   code 03) 500,00 to "outras"; entry CST 400 (origin 4, taxed) 600,00 - 500,00 = 100,00 "outras".
//   The same file of a small enterprise: exit CSOSN 300 (immune) 200,00 and 103 (exempt range)
//   500,00 to "isentas"; the entry keeps its CST: 100,00 "outras".
TEST_F(EFD, CstComOrigemECsosnSoNasSaidasDoSimplesNacional) {
  const efd::TArquivoEFD a = LerTexto(Arquivo(
      "|C100|1|0|F001|55|00|1|20||10012026|10012026|1500,00|\r\n"
      "|C190|300|5102|18,00|1000,00|800,00|144,00|0|0|0|0||\r\n"
      "|C190|103|5102|0|500,00|0|0|0|0|0|0||\r\n"
      "|C100|0|1|F001|55|00|1|21||11012026|11012026|600,00|\r\n"
      "|C190|400|1102|18,00|600,00|500,00|90,00|0|0|0|0||\r\n"));
  const std::string colunas =
      "SELECT 'S', D.VLRCONTABIL, D.ISENTASICMS, D.OUTRASICMS FROM ES02_SAIDADET D"
      " JOIN ES02_SAIDA S ON S.IDSAIDA = D.IDSAIDA WHERE S.NUMERO = 20 AND S.MODELO = '55' AND S.IDIMPORTACAO IS NOT NULL"
      " UNION ALL SELECT 'E', D.VLRCONTABIL, D.ISENTASICMS, D.OUTRASICMS FROM ES02_ENTRADADET D"
      " JOIN ES02_ENTRADA E ON E.IDENTRADA = D.IDENTRADA WHERE E.NUMERO = 21 AND E.IDIMPORTACAO IS NOT NULL"
      " ORDER BY 1 DESC, 2 DESC";
  Importar(a);
  EXPECT_EQ(Linhas(colunas), "S|1000|0|200\nS|500|0|500\nE|600|0|100\n");
  Sql("UPDATE HS_ENQUADRAMENTO SET ENQUADRAMENTO = 1 WHERE IDFILIAL = (SELECT IDFILIAL FROM SC00_FILIAL"
      " WHERE CNPJ = '55666777000188')");
  Importar(a);
  EXPECT_EQ(Linhas(colunas), "S|1000|200|0\nS|500|500|0\nE|600|0|100\n");
}

// December settled with 300,00 of other credits carries 300,00 into January; a January file that
// carries no credit (E110 field 10 = 0) keeps the settlement's figure and says so.
TEST_F(EFD, SaldoCredorDoArquivoDiferenteDaApuracaoEhAvisado) {
  Importar(efd::LerArquivoEFD(kArquivoSP));
  const std::string sf = std::to_string(Filial());
  Sql("INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA, DESCRICAO)"
      " VALUES (" + sf + ", 1, 1, '2001', 300, '2025-12-10', 'CRÉDITO DIGITADO')");
  Apurar("01/12/2025", "31/12/2025", Filial(), "icms");
  std::string texto = Ler(kArquivoSP);
  texto.replace(texto.find("|30,00|0|500,00|"), 16, "|30,00|0|0|");
  const efd::TResumoImportacao r = Importar(LerTexto(texto));
  EXPECT_CONTEM(r.Texto(), "Saldo credor anterior de 2001 em 01/01/2026: mantido o da apuração (300,00); o arquivo traz 0,00.");
  EXPECT_EQ(Valor("SELECT SUM(VALOR) FROM ES02_LCTOAPUR WHERE TPLANCAMENTO = 5 AND DATA = '2026-01-01' AND IDFILIAL = " + sf),
            "300");
}

// Communication services on NFCom (model 62), worked by hand:
//   entry D700 300, D730 CFOP 1303 at 18%: 500,00, credit 90,00 (field 06); its D737 SP10090001
//     (3rd character 1 credit, 4th 0 own ICMS) 10,00 (field 07)
//   exit D700 301: D730 CFOP 5303 at 25%: 1.000,00, debit 250,00; D730 CST 040 CFOP 5307 200,00
//     exempt (isentas 200,00)
//   D750 of 15/01 (ten NFCom of series 2 to consumers), D760 CFOP 5307 at 25%: 400,00, debit 100,00
//   field 02 = 250 + 100 = 350,00; S = 350 - (90 + 10) = 250,00 = fields 11 and 13
TEST_F(EFD, NFComDeEntradaESaidaEConsolidadaNaApuracao) {
  const std::string arquivo = Arquivo(
      "|D700|0|1|F001|62|00|1|300|05012026|06012026|500,00|0|500,00|0|0|0|500,00|90,00||0|0|"
      "35260111222333000181620010000003001000003001|0|0|||||||3550308||\r\n"
      "|D730|000|1303|18,00|500,00|500,00|90,00|0||\r\n"
      "|D735|OBS1||\r\n"
      "|D737|SP10090001|CREDITO DE SERVICO||500,00|2,00|10,00|0|\r\n"
      "|D700|1|0|F001|62|00|1|301|10012026|10012026|1200,00|0|1200,00|0|0|0|1000,00|250,00||0|0|"
      "35260155666777000188620010000003011000003011|0|0|||||||3550308||\r\n"
      "|D730|000|5303|25,00|1000,00|1000,00|250,00|0||\r\n"
      "|D730|040|5307|0|200,00|0|0|0||\r\n"
      "|D750|62|2|15012026|10|0|400,00|400,00|0|0|0|0|400,00|100,00|0|0|\r\n"
      "|D760|000|5307|25,00|400,00|400,00|100,00|0||\r\n"
      "|E100|01012026|31012026|\r\n"
      "|E110|350,00|0|0|0|90,00|10,00|0|0|0|250,00|0|250,00|0|0|\r\n"
      "|E116|000|250,00|20022026|046-2|||||012026|\r\n");
  std::istringstream in(arquivo);
  efd::TArquivoEFD lido;
  const efd::TResumoImportacao r = efd::TImportacaoEFD(*conexao_).ImportarArquivo(in, "cliente.txt", lido);
  EXPECT_EQ(r.Entradas, 1);
  EXPECT_EQ(r.Saidas, 2);
  EXPECT_EQ(r.Itens, 4);
  EXPECT_TRUE(r.Ignorados.empty()) << r.Texto();
  const std::string f = Valor("SELECT IDFILIAL FROM SC00_FILIAL WHERE CNPJ = '55666777000188'");
  EXPECT_EQ(Linhas("SELECT S.ESPECIE, S.SERIE, S.NUMERO, C.CFOP, D.VLRCONTABIL, D.BCICMS, D.ICMS, D.ISENTASICMS"
                   " FROM ES02_SAIDA S JOIN ES02_SAIDADET D ON D.IDSAIDA = S.IDSAIDA JOIN ES02_CFOP C ON C.IDCFOP = D.IDCFOP"
                   " WHERE S.IDFILIAL = " + f + " ORDER BY S.DATAEMISSAO, C.CFOP"),
            "NFCOM|1|301|5.303.000|1000|1000|250|0\nNFCOM|1|301|5.307.000|200|0|0|200\n"
            "NFCOM|2|0|5.307.000|400|400|100|0\n");
  Apurar("01/01/2026", "31/01/2026", std::stoll(f), "icms");
  const efd::TBlocoE bloco = efd::MontarBlocoE(*conexao_, std::stoll(f), EncodeDate(2026, 1, 1), EncodeDate(2026, 1, 31));
  EXPECT_CONTEM(efd::EscreverBlocoE(bloco),
                "|E110|350,00|0,00|0,00|0,00|90,00|10,00|0,00|0,00|0,00|250,00|0,00|250,00|0,00|0,00|\r\n");
  EXPECT_EQ(efd::ConferirBlocoE(lido, bloco).Diferencas, 0);
}

// The client paid the special debit of the December NF-e 400 (120,00) under revenue code 3178, due
// 25/02/2026, apart from the period's 1.710,00 under 046-2. An other debit of 10,00 typed afterwards
// makes the settlement ask 1.720,00 + 120,00 = 1.840,00, not the file's 1.830,00: block E writes its
// own obligations, and still pays the special debit as the client did.
TEST_F(EFD, DebitoEspecialExportadoComOCodigoDeReceitaDoCliente) {
  std::string texto = Ler(kArquivoSP);
  texto.replace(texto.find("|E116|090|120,00|20022026|046-2|"), 32, "|E116|090|120,00|25022026|3178|");
  Importar(LerTexto(texto));
  const int64_t f = Filial();
  Sql("INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA, DESCRICAO)"
      " VALUES (" + std::to_string(f) + ", 15, 1, '2001', 10, '2026-01-15', 'DÉBITO DIGITADO')");
  Apurar("01/01/2026", "31/01/2026", f);
  const efd::TBlocoE bloco = efd::MontarBlocoE(*conexao_, f, EncodeDate(2026, 1, 1), EncodeDate(2026, 1, 31));
  EXPECT_CONTEM(efd::EscreverBlocoE(bloco),
                "|E116|090|120,00|25022026|3178|||||012026|\r\n|E116|000|1720,00|20022026|046-2|||||012026|\r\n");
  ASSERT_EQ(bloco.Avisos.size(), 1u);
  EXPECT_EQ(bloco.Avisos[0], "ICMS de 01/01/2026 a 31/01/2026: as obrigações do arquivo importado (E116) somam 1.830,00 e "
                             "a apuração pede 1.840,00; o bloco traz as da apuração.");
}

// One exit of 1.710,00 at 18%: ICMS 307,80, paid by the client in two obligations 000 (300,00 under
// a process, 7,80 later), with a declaratory line E115. They add up to field 13: block E gives back
// the E115 and both E116 exactly as the file has them.
TEST_F(EFD, LinhasDeclaratoriasEObrigacoesDoClienteDevolvidas) {
  Importar(LerTexto(Arquivo("|C100|1|0|F001|55|00|1|10||10012026|10012026|1710,00|\r\n"
                            "|C190|000|5102|18,00|1710,00|1710,00|307,80|0|0|0|0||\r\n"
                            "|E100|01012026|31012026|\r\n"
                            "|E110|307,80|0|0|0|0|0|0|0|0|307,80|0|307,80|0|0|\r\n"
                            "|E115|SP000001|1500,00|INFORMACAO ADICIONAL|\r\n"
                            "|E116|000|300,00|20022026|046-2|1234|0|PROC|PARCELA 1|012026|\r\n"
                            "|E116|000|7,80|10032026|046-2|||||012026|\r\n")));
  const int64_t f = std::stoll(Valor("SELECT IDFILIAL FROM SC00_FILIAL WHERE CNPJ = '55666777000188'"));
  Apurar("01/01/2026", "31/01/2026", f, "icms");
  const efd::TBlocoE bloco = efd::MontarBlocoE(*conexao_, f, EncodeDate(2026, 1, 1), EncodeDate(2026, 1, 31));
  EXPECT_TRUE(bloco.Avisos.empty());
  EXPECT_EQ(efd::EscreverBlocoE(bloco),
            "|E001|0|\r\n"
            "|E100|01012026|31012026|\r\n"
            "|E110|307,80|0,00|0,00|0,00|0,00|0,00|0,00|0,00|0,00|307,80|0,00|307,80|0,00|0,00|\r\n"
            "|E115|SP000001|1500,00|INFORMACAO ADICIONAL|\r\n"
            "|E116|000|300,00|20022026|046-2|1234|0|PROC|PARCELA 1|012026|\r\n"
            "|E116|000|7,80|10032026|046-2|||||012026|\r\n"
            "|E990|7|\r\n");
}

// Two exits, 1.710,00 at 18% and 536,00 at 12%: ICMS 307,80 + 64,32 = 372,12, settled without a
// payment code configured, so the tax recorded has no revenue code nor due date. Block E refuses,
// naming what to configure; with SP's 046-2 (day 20 of the next month) the E116 is due 20/02/2026.
TEST_F(EFD, E116SemCodigoDeReceitaVemDaConfiguracaoOuRecusa) {
  Importar(LerTexto(Arquivo("|C100|1|0|F001|55|00|1|10||10012026|10012026|1710,00|\r\n"
                            "|C190|000|5102|18,00|1710,00|1710,00|307,80|0|0|0|0||\r\n"
                            "|C100|1|0|F001|55|00|1|11||12012026|12012026|536,00|\r\n"
                            "|C190|000|5102|12,00|536,00|536,00|64,32|0|0|0|0||\r\n")));
  const int64_t f = std::stoll(Valor("SELECT IDFILIAL FROM SC00_FILIAL WHERE CNPJ = '55666777000188'"));
  const TDateTime ini = EncodeDate(2026, 1, 1), fim = EncodeDate(2026, 1, 31);
  Apurar("01/01/2026", "31/01/2026", f, "icms");
  EXPECT_CONTEM(Erro<efd::EBlocoE>([&] { efd::MontarBlocoE(*conexao_, f, ini, fim); }),
                "a obrigação 000 de 372,12 do ICMS de 01/01/2026 a 31/01/2026 não tem código de receita ou vencimento, e o "
                "estabelecimento " + std::to_string(f) + " não tem código de recolhimento configurado para o período: "
                "informe-o em ES02_CFG TP '2'");
  Sql("INSERT INTO ES02_CFG (IDFILIAL, ORIGEM, TP, DATAINICIO, INFORMACAO1) SELECT " + std::to_string(f) +
      ", 2, '2', '2026-01-01', IDCODIGOREC FROM ES02_CODIGOREC WHERE UF = 'SP' AND CODIGO = '046-2'");
  EXPECT_CONTEM(efd::EscreverBlocoE(efd::MontarBlocoE(*conexao_, f, ini, fim)), "|E116|000|372,12|20022026|046-2|||||012026|");
}

// Every write and rename of an export made to fail in turn: each failure leaves the earlier file as
// it was and no scratch file beside it; past the last point the block replaces it.
TEST_F(EFD, BlocoEGravadoInteiroOuNada) {
  namespace fs = std::filesystem;
  Apurar("01/01/2026", "31/01/2026");
  const efd::TBlocoE bloco = efd::MontarBlocoE(*conexao_, 1, EncodeDate(2026, 1, 1), EncodeDate(2026, 1, 31));
  const fs::path pasta = fs::temp_directory_path() / ("livro-efd-exportar-" + std::to_string(::getpid()));
  fs::remove_all(pasta);
  fs::create_directories(pasta);
  struct TRestaurar {
    fs::path pasta;
    ~TRestaurar() {
      impressao::GPontosDeFalha = {};
      fs::remove_all(pasta);
    }
  } restaurar{pasta};
  const std::string arquivo = (pasta / "bloco_e.txt").string();
  std::ofstream(arquivo, std::ios::binary) << "bloco anterior\n";
  int ponto = 1;
  for (;; ++ponto) {
    impressao::GPontosDeFalha = {0, ponto};
    bool falhou = false;
    try {
      efd::GravarBlocoE(bloco, arquivo);
    } catch (const std::exception& e) {
      falhou = true;
      EXPECT_CONTEM(std::string(e.what()), "falha provocada em: ");
    }
    if (!falhou) break;
    SCOPED_TRACE("ponto " + std::to_string(ponto));
    ASSERT_EQ(Ler(arquivo), "bloco anterior\n");
    ASSERT_EQ(std::distance(fs::directory_iterator(pasta), fs::directory_iterator()), 1);
  }
  // written, then put in place after the earlier file is set aside
  EXPECT_EQ(ponto, 4);
  EXPECT_EQ(Ler(arquivo), efd::ParaLatin1(efd::EscreverBlocoE(bloco)));
  EXPECT_CONTEM(Erro<efd::EBlocoE>([&] { efd::GravarBlocoE(bloco, (pasta / "sem-pasta" / "b.txt").string()); }),
                "Não foi possível criar o arquivo");
}
