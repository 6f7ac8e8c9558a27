object frmConsultas: TForm
  Caption = 'Consultas'
  object qryFilial: TADOIBQuery
    Active = False
    ADOConnection = dtmDBGeral.adcGeral
    DataBase = dtmDBGeral.dtbGeral
    Transaction = dtmDBGeral.ibtGeral
    ADOCursorLocation = clUseClient
    ADOCursorType = ctKeyset
    ADOLockType = ltReadOnly
    ADOCacheSize = 1
    ADOMaxRecords = 0
    ADOEnableBCD = False
    ADOFiltered = False
    ADOPrepared = False
    ADOExecuteOptions = []
    ADOMarshalOptions = moMarshalAll
    CachedUpdates = False
    ObjectView = False
    ParamCheck = True
    AutoCalcFields = True
    SQL.Strings = (
      'SELECT A.CDFILIAL, A.NMFILIAL, A.IDCNTRRESC, A.IDFILCENTXEV,'
      '       A.CDFILCENTXEV, (SELECT NMFILIAL'
      '                          FROM FILIAL'
      '                         WHERE CDFILIAL = A.CDFILCENTXEV) AS NMFILCENTXEV'
      '  FROM FILIAL A'
      ' WHERE CDFILIAL = :P_CDFILIAL'
      '  ')
    SQL_ORACLE.Strings = (
      'SELECT A.CDFILIAL, A.NMFILIAL, A.IDCNTRRESC, A.IDFILCENTXEV,'
      '       A.CDFILCENTXEV, (SELECT NMFILIAL'
      '                          FROM FILIAL'
      '                         WHERE CDFILIAL = A.CDFILCENTXEV) AS NMFILCENTXEV'
      '  FROM FILIAL A'
      ' WHERE CDFILIAL = :P_CDFILIAL'
      '  ')
    SQL_MSSQL.Strings = (
      'SELECT A.CDFILIAL, A.NMFILIAL, A.IDCNTRRESC, A.IDFILCENTXEV,'
      '       A.CDFILCENTXEV, (SELECT NMFILIAL'
      '                          FROM FILIAL'
      '                         WHERE CDFILIAL = A.CDFILCENTXEV) AS NMFILCENTXEV'
      '  FROM FILIAL A'
      ' WHERE CDFILIAL = :P_CDFILIAL'
      '  ')
    SQL_IB.Strings = (
      'SELECT A.CDFILIAL, A.NMFILIAL, A.IDCNTRRESC, A.IDFILCENTXEV,'
      '       A.CDFILCENTXEV, (SELECT NMFILIAL'
      '                          FROM FILIAL'
      '                         WHERE CDFILIAL = A.CDFILCENTXEV) AS NMFILCENTXEV'
      '  FROM FILIAL A,'
      '       PARAM(:P_CDFILIAL) P_CDFILIAL'
      ' WHERE CDFILIAL = P_CDFILIAL.PARAM'
      '  ')
    Params = <
      item
        DataType = ftString
        Name = 'P_CDFILIAL'
        ParamType = ptUnknown
      end>
    object qryFilialCDFILIAL: TADOIBStringField
      FieldName = 'CDFILIAL'
      DisplayLabel = 'C'#243'digo'
      Required = True
      Size = 4
    end
    object qryFilialNMFILIAL: TADOIBStringField
      FieldName = 'NMFILIAL'
      DisplayLabel = 'Nome'
      Size = 30
    end
    object qryFilialCDFILCENTXEV: TADOIBStringField
      FieldName = 'CDFILCENTXEV'
      Visible = False
      Size = 4
    end
    object qryFilialNMFILCENTXEV: TADOIBStringField
      FieldName = 'NMFILCENTXEV'
      Visible = False
      Size = 30
    end
    object qryFilialIDCNTRRESC: TADOIBStringField
      FieldName = 'IDCNTRRESC'
      Size = 1
    end
    object qryFilialIDFILCENTXEV: TADOIBStringField
      FieldName = 'IDFILCENTXEV'
      Size = 1
    end
    Left = 24
    Top = 8
  end
  object qryServico: TADOIBQuery
    Active = False
    ADOConnection = dtmDBGeral.adcGeral
    DataBase = dtmDBGeral.dtbGeral
    Transaction = dtmDBGeral.ibtGeral
    ADOCursorLocation = clUseClient
    ADOCursorType = ctKeyset
    ADOLockType = ltReadOnly
    ADOCacheSize = 1
    ADOMaxRecords = 0
    ADOEnableBCD = False
    ADOFiltered = False
    ADOPrepared = False
    ADOExecuteOptions = []
    ADOMarshalOptions = moMarshalAll
    CachedUpdates = False
    ObjectView = False
    ParamCheck = True
    AutoCalcFields = True
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
      '   CDSERVFILI'
      '  ')
    SQL_ORACLE.Strings = (
      'SELECT'
      '   CDSERVFILI,'
      '   NMSERVICO'
      'FROM'
      '   SERVICO'
      'WHERE'
      '   (CDFILIAL   = :P_CDFILIAL) AND'
      '   ((INSTR(:P_CDGRUPSERV, CDGRUPSERV) <> 0) OR (:P_TCDGRUPSERV = ''T''))'
      'ORDER BY'
      '   CDSERVFILI'
      '  ')
    SQL_MSSQL.Strings = (
      'SELECT'
      '   CDSERVFILI,'
      '   NMSERVICO'
      'FROM'
      '   SERVICO'
      'WHERE'
      '   (CDFILIAL   = :P_CDFILIAL) AND'
      '   ((CHARINDEX(CDGRUPSERV, :P_CDGRUPSERV) <> 0) OR (:P_TCDGRUPSERV = ''T''))'
      'ORDER BY'
      '   CDSERVFILI'
      '  ')
    SQL_IB.Strings = (
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
      '   CDSERVFILI'
      '  ')
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
      Required = True
      Size = 5
    end
    object qryServicoNMSERVICO: TADOIBStringField
      FieldName = 'NMSERVICO'
      DisplayLabel = 'Nome'
      Size = 40
    end
    Left = 24
    Top = 8
  end
  object qryProduto: TADOIBQuery
    Active = False
    ADOConnection = dtmDBGeral.adcGeral
    DataBase = dtmDBGeral.dtbGeral
    Transaction = dtmDBGeral.ibtGeral
    ADOCursorLocation = clUseClient
    ADOCursorType = ctKeyset
    ADOLockType = ltReadOnly
    ADOCacheSize = 1
    ADOMaxRecords = 0
    ADOEnableBCD = False
    ADOFiltered = False
    ADOPrepared = False
    ADOExecuteOptions = []
    ADOMarshalOptions = moMarshalAll
    CachedUpdates = False
    ObjectView = False
    ParamCheck = True
    AutoCalcFields = True
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
    SQL_ORACLE.Strings = (
      'SELECT'
      '   CDARVPROD,'
      '   NMPRODUTO,'
      '   CDNVPRODUTO'
      'FROM'
      '   PRODUTO'
      'ORDER BY'
      '   CDARVPROD'
      '  ')
    SQL_MSSQL.Strings = (
      'SELECT'
      '   CDARVPROD,'
      '   NMPRODUTO,'
      '   CDNVPRODUTO'
      'FROM'
      '   PRODUTO'
      'ORDER BY'
      '   CDARVPROD'
      '  ')
    SQL_IB.Strings = (
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
    Left = 24
    Top = 8
  end
  object qryGrupServ: TADOIBQuery
    Active = False
    ADOConnection = dtmDBGeral.adcGeral
    DataBase = dtmDBGeral.dtbGeral
    Transaction = dtmDBGeral.ibtGeral
    ADOCursorLocation = clUseClient
    ADOCursorType = ctKeyset
    ADOLockType = ltReadOnly
    ADOCacheSize = 1
    ADOMaxRecords = 0
    ADOEnableBCD = False
    ADOFiltered = False
    ADOPrepared = False
    ADOExecuteOptions = []
    ADOMarshalOptions = moMarshalAll
    CachedUpdates = False
    ObjectView = False
    ParamCheck = True
    AutoCalcFields = True
    DataSource = dtsGrupServ__
    SQL.Strings = (
      'SELECT'
      '   CDGRUPSERV,'
      '   NMGRUPSERV'
      'FROM'
      '   GRUPSERV'
      'ORDER BY'
      '   CDGRUPSERV'
      '  ')
    SQL_ORACLE.Strings = (
      'SELECT'
      '   CDGRUPSERV,'
      '   NMGRUPSERV'
      'FROM'
      '   GRUPSERV'
      'ORDER BY'
      '   CDGRUPSERV'
      '  ')
    SQL_MSSQL.Strings = (
      'SELECT'
      '   CDGRUPSERV,'
      '   NMGRUPSERV'
      'FROM'
      '   GRUPSERV'
      'ORDER BY'
      '   CDGRUPSERV'
      '  ')
    SQL_IB.Strings = (
      'SELECT'
      '   CDGRUPSERV,'
      '   NMGRUPSERV'
      'FROM'
      '   GRUPSERV'
      'ORDER BY'
      '   CDGRUPSERV'
      '  ')
    object qryGrupServCDGRUPSERV: TADOIBStringField
      FieldName = 'CDGRUPSERV'
      DisplayLabel = 'C'#243'digo'
      Required = True
      Size = 3
    end
    object qryGrupServNMGRUPSERV: TADOIBStringField
      FieldName = 'NMGRUPSERV'
      DisplayLabel = 'Nome'
      Size = 30
    end
    Left = 24
    Top = 8
  end
  object qryVdProduto: TADOIBQuery
    Active = False
    ADOConnection = dtmDBGeral.adcGeral
    DataBase = dtmDBGeral.dtbGeral
    Transaction = dtmDBGeral.ibtGeral
    ADOCursorLocation = clUseClient
    ADOCursorType = ctKeyset
    ADOLockType = ltReadOnly
    ADOCacheSize = 1
    ADOMaxRecords = 0
    ADOEnableBCD = False
    ADOFiltered = False
    ADOPrepared = False
    ADOExecuteOptions = []
    ADOMarshalOptions = moMarshalAll
    CachedUpdates = False
    ObjectView = False
    ParamCheck = True
    AutoCalcFields = True
    SQL.Strings = (
      'SELECT'
      '   NMPRODUTO'
      'FROM'
      '   PRODUTO'
      'WHERE'
      '   (CDARVPROD = :P_CDARVPROD)'
      '  ')
    SQL_ORACLE.Strings = (
      'SELECT'
      '   NMPRODUTO'
      'FROM'
      '   PRODUTO'
      'WHERE'
      '   (CDARVPROD = :P_CDARVPROD)'
      '  ')
    SQL_MSSQL.Strings = (
      'SELECT'
      '   NMPRODUTO'
      'FROM'
      '   PRODUTO'
      'WHERE'
      '   (CDARVPROD = :P_CDARVPROD)'
      '  ')
    SQL_IB.Strings = (
      'SELECT'
      '   NMPRODUTO'
      'FROM'
      '   PRODUTO'
      'WHERE'
      '   (CDARVPROD = :P_CDARVPROD)'
      '  ')
    Params = <
      item
        DataType = ftString
        Name = 'P_CDARVPROD'
        ParamType = ptUnknown
      end>
    object qryVdProdutoNMPRODUTO: TADOIBStringField
      FieldName = 'NMPRODUTO'
      Size = 50
    end
    Left = 24
    Top = 8
  end
  object qryTAgreg: TADOIBQuery
    Active = False
    ADOConnection = dtmDBGeral.adcGeral
    DataBase = dtmDBGeral.dtbGeral
    Transaction = dtmDBGeral.ibtGeral
    ADOCursorLocation = clUseClient
    ADOCursorType = ctKeyset
    ADOLockType = ltReadOnly
    ADOCacheSize = 1
    ADOMaxRecords = 0
    ADOEnableBCD = False
    ADOFiltered = False
    ADOPrepared = False
    ADOExecuteOptions = []
    ADOMarshalOptions = moMarshalAll
    CachedUpdates = False
    ObjectView = False
    ParamCheck = True
    AutoCalcFields = True
    DataSource = dtsFilial__
    SQL.Strings = (
      'SELECT F.CDFILIAL, F.NMFILIAL, F.CDFILCENTXEV'
      '  FROM FILIAL F, '
      '       PARAM(:P_CDFILIAL) P_CDFILIAL,'
      '       PARAM(:P_CDFILCENTXEV) P_CDFILCENTXEV'
      ' WHERE (NVLSTR(P_CDFILIAL.PARAM, F.CDFILIAL) = F.CDFILIAL)'
      '   AND (F.CDFILCENTXEV = P_CDFILCENTXEV.PARAM)'
      ' ORDER BY F.CDFILIAL'
      '  ')
    SQL_ORACLE.Strings = (
      'SELECT F.CDFILIAL, F.NMFILIAL, F.CDFILCENTXEV'
      '  FROM FILIAL F'
      ' WHERE (NVL(:P_CDFILIAL, F.CDFILIAL) = F.CDFILIAL) '
      '   AND (F.CDFILCENTXEV = :P_CDFILCENTXEV)'
      ' ORDER BY F.CDFILIAL'
      '  ')
    SQL_MSSQL.Strings = (
      'SELECT F.CDFILIAL, F.NMFILIAL, F.CDFILCENTXEV'
      '  FROM FILIAL F'
      ' WHERE (ISNULL(:P_CDFILIAL, F.CDFILIAL) = F.CDFILIAL) '
      '   AND (F.CDFILCENTXEV = :P_CDFILCENTXEV)'
      ' ORDER BY F.CDFILIAL'
      '  ')
    SQL_IB.Strings = (
      'SELECT F.CDFILIAL, F.NMFILIAL, F.CDFILCENTXEV'
      '  FROM FILIAL F, '
      '       PARAM(:P_CDFILIAL) P_CDFILIAL,'
      '       PARAM(:P_CDFILCENTXEV) P_CDFILCENTXEV'
      ' WHERE (NVLSTR(P_CDFILIAL.PARAM, F.CDFILIAL) = F.CDFILIAL)'
      '   AND (F.CDFILCENTXEV = P_CDFILCENTXEV.PARAM)'
      ' ORDER BY F.CDFILIAL'
      '  ')
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
      Required = True
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
    Left = 24
    Top = 8
  end
  object dtsFilial__: TDataSource
    DataSet = qryTAgreg.Query
    Left = 64
    Top = 8
  end
  object dtsServico__: TDataSource
    DataSet = qryServico.Query
    Left = 64
    Top = 8
  end
  object dtsGrupServ__: TDataSource
    DataSet = qryGrupServ.Query
    Left = 64
    Top = 8
  end
  object dtsProduto__: TDataSource
    DataSet = qryProduto.Query
    Left = 64
    Top = 8
  end
end
