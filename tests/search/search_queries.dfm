object frmPesquisas: TForm
  Caption = 'Pesquisas'
  object qryProduto: TADOIBQuery
    DataSource = dtsProduto__
    SQL.Strings = (
      'SELECT'
      '   CDARVPROD,'
      '   NMPRODUTO,'
      '   CDNVPRODUTO'
      'FROM'
      '   PRODUTO'
      'ORDER BY'
      '   CDARVPROD'
      '  ')
    object qryProdutoCDARVPROD: TADOIBStringField
      FieldName = 'CDARVPROD'
      DisplayLabel = 'C'#243'digo'
    end
    object qryProdutoNMPRODUTO: TADOIBStringField
      FieldName = 'NMPRODUTO'
      DisplayLabel = 'Nome'
      Size = 50
    end
    object qryProdutoCDNVPRODUTO: TADOIBStringField
      FieldName = 'CDNVPRODUTO'
      Visible = False
      Size = 1
    end
  end
  object qryGrupServ: TADOIBQuery
    DataSource = dtsGrupServ__
    SQL.Strings = (
      'SELECT'
      '   CDGRUPSERV,'
      '   NMGRUPSERV'
      'FROM'
      '   GRUPSERV'
      'ORDER BY'
      '   CDGRUPSERV')
    object qryGrupServCDGRUPSERV: TADOIBStringField
      FieldName = 'CDGRUPSERV'
      DisplayLabel = 'C'#243'digo'
      Size = 3
    end
    object qryGrupServNMGRUPSERV: TADOIBStringField
      FieldName = 'NMGRUPSERV'
      DisplayLabel = 'Nome'
      Size = 30
    end
  end
  object qryServico: TADOIBQuery
    DataSource = dtsServico__
    SQL.Strings = (
      'SELECT'
      '   CDSERVFILI,'
      '   NMSERVICO'
      'FROM'
      '   SERVICO,'
      '   PARAM(:P_CDGRUPSERV) P_CDGRUPSERV'
      'WHERE'
      '   (CDFILIAL   = :P_CDFILIAL) AND'
      '   ((INSTR(P_CDGRUPSERV.PARAM, CDGRUPSERV) <> 0) OR (:P_TCDGRUPSERV = ''T''))'
      'ORDER BY'
      '   CDSERVFILI')
    Params = <
      item
        DataType = ftString
        Name = 'P_CDGRUPSERV'
        ParamType = ptUnknown
      end
      item
        DataType = ftString
        Name = 'P_CDFILIAL'
        ParamType = ptUnknown
      end
      item
        DataType = ftString
        Name = 'P_TCDGRUPSERV'
        ParamType = ptUnknown
      end>
    object qryServicoCDSERVFILI: TADOIBStringField
      FieldName = 'CDSERVFILI'
      DisplayLabel = 'C'#243'digo'
      Size = 5
    end
    object qryServicoNMSERVICO: TADOIBStringField
      FieldName = 'NMSERVICO'
      DisplayLabel = 'Nome'
      Size = 40
    end
  end
  object qryTAgreg: TADOIBQuery
    DataSource = dtsFilial__
    SQL.Strings = (
      'SELECT F.CDFILIAL, F.NMFILIAL, F.CDFILCENTXEV'
      '  FROM FILIAL F, '
      '       PARAM(:P_CDFILIAL) P_CDFILIAL,'
      '       PARAM(:P_CDFILCENTXEV) P_CDFILCENTXEV'
      ' WHERE (NVLSTR(P_CDFILIAL.PARAM, F.CDFILIAL) = F.CDFILIAL)'
      '   AND (F.CDFILCENTXEV = P_CDFILCENTXEV.PARAM)'
      ' ORDER BY F.CDFILIAL')
    Params = <
      item
        DataType = ftString
        Name = 'P_CDFILIAL'
        ParamType = ptUnknown
      end
      item
        DataType = ftString
        Name = 'P_CDFILCENTXEV'
        ParamType = ptUnknown
      end>
    object qryTAgregCDFILIAL: TADOIBStringField
      FieldName = 'CDFILIAL'
      DisplayLabel = 'C'#243'digo'
      Size = 4
    end
    object qryTAgregNMFILIAL: TADOIBStringField
      FieldName = 'NMFILIAL'
      DisplayLabel = 'Nome'
      Size = 30
    end
    object qryTAgregCDFILCENTXEV: TADOIBStringField
      FieldName = 'CDFILCENTXEV'
      Visible = False
      Size = 4
    end
  end
  object dtsFilial__: TDataSource
    DataSet = qryTAgreg.Query
  end
  object dtsServico__: TDataSource
    DataSet = qryServico.Query
  end
  object dtsGrupServ__: TDataSource
    DataSet = qryGrupServ.Query
  end
  object dtsProduto__: TDataSource
    DataSet = qryProduto.Query
  end
end
