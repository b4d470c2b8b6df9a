#pragma once
// SQL texts of the small-business summaries. Placeholders follow Format; dates are the host's
// literals, texts quoted.

// The bracket of the rate table of a tax whose revenue range holds the value: quoted tax, start, end,
// the value twice (decimal text with a point).
inline constexpr const char* kSqlFaixaSimples =
    "SELECT TR04_TABELA.IDTABELA,        TR04_TABDETALHE.*   FROM TR04_TABELA  LEFT JOIN TR04_TABDETALHE "
    "ON        (TR04_TABELA.IDTABELA = TR04_TABDETALHE.IDTABELA) WHERE TIPOTABELA = 1   AND IMPOSTO = %s "
    "  AND INICIO <= %s   AND (FIM   >= %s    OR FIM Is Null)   AND FAIXAINICIAL <=%s   AND FAIXAFINAL >="
    "%s";

// Revenue of the affiliated companies carried by the establishment's exits (auxiliary record TP 1):
// establishment, start, end. Each row is an item of a document: a document of several items
// repeats its record's revenue once per item.
inline constexpr const char* kSqlReceitaColigadas =
    "SELECT ES02_SAIDAAUX.INFORMACAO1 AS RECBRUTA,        CASE           WHEN (ES02_SAIDAAUX.INFORMACAO2 "
    "IS NULL                  OR ES02_SAIDAAUX.INFORMACAO2 = '') THEN ES02_SAIDADET.BCICMS          ELSE "
    "ES02_SAIDAAUX.INFORMACAO2        END AS RECTRIB   FROM ES02_SAIDA        JOIN ES02_SAIDADET         "
    " ON (ES02_SAIDA.IDSAIDA = ES02_SAIDADET.IDSAIDA)        JOIN ES02_SAIDAAUX          ON (ES02_SAIDA.I"
    "DSAIDA = ES02_SAIDAAUX.IDSAIDA              AND ES02_SAIDAAUX.TP = 1)  WHERE ES02_SAIDA.IDFILIAL = %"
    "d    AND ES02_SAIDA.DATAEMISSAO BETWEEN %s AND %s";

// The CRESCE-RN tax of a band: table (300101 micro, 300201 small enterprise, unquoted), start, end,
// band.
inline constexpr const char* kSqlValorProgramaCresce =
    "SELECT TR04_TABDETALHE.DEDUCAO  FROM TR04_TABDETALHE       JOIN TR04_TABELA         ON (TR04_TABELA."
    "IDTABELA = TR04_TABDETALHE.IDTABELA) WHERE TR04_TABELA.TIPOTABELA = 1   AND TR04_TABELA.IMPOSTO = %s"
    "   AND TR04_TABELA.INICIO <= %s   AND (TR04_TABELA.FIM >= %s         OR TR04_TABELA.FIM IS NULL)   A"
    "ND TR04_TABDETALHE.CLASSE = %d";
