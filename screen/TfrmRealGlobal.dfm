inherited frmRealGlobal: TfrmRealGlobal
  Left = 507
  Top = 252
  BorderStyle = bsSingle
  Caption = 'Custo Realizado Global do Per'#237'odo (Planejamento de Alimenta'#231#227'o Escolar)'
  ClientHeight = 366
  ClientWidth = 511
  FormStyle = fsMDIChild
  HelpFile = 'Vbrhelp.hlp'
  HelpContext = 10701700
  Visible = True
  PixelsPerInch = 96
  TextHeight = 13
  inherited lblCodTela: TLabel
    Width = 53
    Caption = 'XEV01700'
  end
  inherited grbDadosRel: TGroupBox
    Width = 511
    Height = 339
    inherited bvlSeparator: TBevel
      Width = 507
    end
    inherited panRelat: TPanel
      Width = 507
      inherited lblRelat: TLabel
        Width = 96
        AutoSize = False
      end
      inherited cbbReportNames: TComboBox
        Left = 83
        Width = 419
      end
    end
    object panFilial: TPanel
      Left = 2
      Top = 44
      Width = 507
      Height = 83
      Align = alTop
      BevelOuter = bvNone
      TabOrder = 1
      object lblCentral: TLabel
        Left = 6
        Top = 7
        Width = 181
        Height = 14
        AutoSize = False
        Caption = 'Central de Alimenta'#231#227'o Escolar'
        Enabled = False
        FocusControl = medCentral
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -11
        Font.Name = 'MS Sans Serif'
        Font.Style = [fsBold]
        ParentFont = False
      end
      object lblFilial: TLabel
        Left = 6
        Top = 31
        Width = 85
        Height = 13
        Caption = 'Filial Agregada'
        FocusControl = medCdFilial
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -11
        Font.Name = 'MS Sans Serif'
        Font.Style = [fsBold]
        ParentFont = False
      end
      object lblTipoCust: TLabel
        Left = 6
        Top = 56
        Width = 95
        Height = 13
        AutoSize = False
        Caption = 'Tipo de Custo'
        FocusControl = cbbTipoCusto
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -11
        Font.Name = 'MS Sans Serif'
        Font.Style = [fsBold]
        ParentFont = False
      end
      object btpCentral: TBtnPesquisa
        Left = 247
        Top = 3
        Width = 21
        Height = 21
        Hint = 'Pesquisar'
        Enabled = False
        ParentShowHint = False
        Glyph = 'search'
        NumGlyphs = 2
        Associate = medCentral
        Title = 'Central de Merenda'
        EmptyError = 'N'#227'o h'#225' Central de Merenda cadastrada.'
      end
      object btpFilial: TBtnPesquisa
        Left = 247
        Top = 28
        Width = 21
        Height = 21
        Hint = 'Pesquisar'
        ParentShowHint = False
        Glyph = 'search'
        NumGlyphs = 2
        Associate = medCdFilial
        Title = 'Filial Agregada'
        DataSource = dtsFilial__
        EmptyError = 'N'#227'o h'#225' filial agregada cadastrada para essa central de merenda.'
        OnBeforePesq = btpFilialBeforePesq
        OnAfterPesq = btpFilialAfterPesq
      end
      object medCentral: TMaskEdit
        Left = 188
        Top = 3
        Width = 55
        Height = 21
        Color = clBtnFace
        Enabled = False
        EditMask = '>aaaa;0; '
        MaxLength = 4
        TabOrder = 0
      end
      object edtNmCentral: TEdit
        Left = 271
        Top = 3
        Width = 229
        Height = 21
        Color = clBtnFace
        Enabled = False
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -11
        Font.Name = 'MS Sans Serif'
        Font.Style = []
        ParentFont = False
        TabOrder = 6
      end
      object medCdFilial: TMaskEdit
        Left = 188
        Top = 28
        Width = 55
        Height = 21
        Color = clInfoBk
        EditMask = '>aaaa;0; '
        MaxLength = 4
        TabOrder = 1
        OnChange = medCdFilialChange
        OnExit = medCdFilialExit
      end
      object edtNmFilial: TEdit
        Left = 271
        Top = 28
        Width = 229
        Height = 21
        Color = clBtnFace
        Enabled = False
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -11
        Font.Name = 'MS Sans Serif'
        Font.Style = []
        ParentFont = False
        TabOrder = 3
      end
      object cbbTipoCusto: TComboBox
        Left = 126
        Top = 53
        Width = 377
        Height = 21
        Style = csDropDownList
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -11
        Font.Name = 'MS Sans Serif'
        Font.Style = []
        ParentFont = False
        ItemHeight = 13
        TabOrder = 2
      end
      object Bevel1: TBevel
        Left = 0
        Top = 77
        Width = 507
        Height = 6
        Align = alBottom
        Shape = bsBottomLine
      end
    end
    object grbData: TGroupBox
      Left = 4
      Top = 128
      Width = 260
      Height = 68
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clWindowText
      Font.Height = -11
      Font.Name = 'MS Sans Serif'
      Font.Style = [fsBold]
      ParentFont = False
      TabOrder = 2
      object lblDataInic: TLabel
        Left = 6
        Top = 18
        Width = 94
        Height = 13
        AutoSize = False
        Caption = 'Data Inicial'
        FocusControl = depDataInic
      end
      object lblDataFina: TLabel
        Left = 6
        Top = 43
        Width = 94
        Height = 13
        AutoSize = False
        Caption = 'Data Final'
        FocusControl = depDataFina
      end
      object depDataInic: TDateEditPlus
        Left = 107
        Top = 15
        Width = 100
        Height = 21
        Color = clInfoBk
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -11
        Font.Name = 'MS Sans Serif'
        Font.Style = []
        ParentFont = False
        TabOrder = 0
        ValidDateColor = clBlue
        SaveTime = False
        NomeSemana.Strings = (
          'Domingo'
          'Segunda'
          'Ter'#231'a'
          'Quarta'
          'Quinta'
          'Sexta'
          'S'#225'bado')
        ButtonBitmap = 'calendar'
        PeriodEnd = depDataFina
        OnDateChange = depDataInicDateChange
        OnExit = depDataInicExit
      end
      object edtDataInic: TEdit
        Left = 212
        Top = 15
        Width = 40
        Height = 21
        Color = clBtnFace
        Enabled = False
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -11
        Font.Name = 'MS Sans Serif'
        Font.Style = []
        ParentFont = False
        TabOrder = 2
      end
      object depDataFina: TDateEditPlus
        Left = 107
        Top = 40
        Width = 100
        Height = 21
        Color = clInfoBk
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -11
        Font.Name = 'MS Sans Serif'
        Font.Style = []
        ParentFont = False
        TabOrder = 1
        ValidDateColor = clBlue
        SaveTime = False
        NomeSemana.Strings = (
          'Domingo'
          'Segunda'
          'Ter'#231'a'
          'Quarta'
          'Quinta'
          'Sexta'
          'S'#225'bado')
        ButtonBitmap = 'calendar'
        OnDateChange = depDataFinaDateChange
        OnExit = depDataFinaExit
      end
      object edtDataFina: TEdit
        Left = 212
        Top = 40
        Width = 40
        Height = 21
        Color = clBtnFace
        Enabled = False
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -11
        Font.Name = 'MS Sans Serif'
        Font.Style = []
        ParentFont = False
        TabOrder = 3
      end
    end
    object grbGrupoServ: TGroupBox
      Left = 262
      Top = 128
      Width = 132
      Height = 68
      Caption = 'Grupo de Servi'#231'os'
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clWindowText
      Font.Height = -11
      Font.Name = 'MS Sans Serif'
      Font.Style = [fsBold]
      ParentFont = False
      TabOrder = 3
      object sbtGrupServ: TSpeedButton
        Left = 67
        Top = 40
        Width = 21
        Height = 21
        Hint = 'Pesquisar'
        Enabled = False
        Flat = True
        Glyph = 'search'
        NumGlyphs = 2
        ParentShowHint = False
        ShowHint = True
        OnClick = sbtGrupServClick
      end
      object rbtTodosGrup: TRadioButton
        Left = 6
        Top = 18
        Width = 83
        Height = 17
        Caption = 'Todos'
        Checked = True
        TabOrder = 0
        TabStop = True
        OnClick = rbtListaGrupClick
      end
      object rbtListaGrup: TRadioButton
        Left = 6
        Top = 43
        Width = 56
        Height = 17
        Caption = 'Lista'
        TabOrder = 1
        OnClick = rbtListaGrupClick
        OnKeyDown = rbtListaGrupKeyDown
      end
    end
    object grbServico: TGroupBox
      Left = 392
      Top = 128
      Width = 114
      Height = 68
      Caption = 'Servi'#231'o'
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clWindowText
      Font.Height = -11
      Font.Name = 'MS Sans Serif'
      Font.Style = [fsBold]
      ParentFont = False
      TabOrder = 4
      object sbtServico: TSpeedButton
        Left = 67
        Top = 40
        Width = 21
        Height = 21
        Hint = 'Pesquisar'
        Enabled = False
        Flat = True
        Glyph = 'search'
        NumGlyphs = 2
        ParentShowHint = False
        ShowHint = True
        OnClick = sbtServicoClick
      end
      object rbtTodosServ: TRadioButton
        Left = 6
        Top = 18
        Width = 71
        Height = 17
        Caption = 'Todos'
        Checked = True
        TabOrder = 0
        TabStop = True
        OnClick = rbtListaServClick
      end
      object rbtListaServ: TRadioButton
        Left = 6
        Top = 43
        Width = 56
        Height = 17
        Caption = 'Lista'
        TabOrder = 1
        OnClick = rbtListaServClick
        OnKeyDown = rbtListaServKeyDown
      end
    end
    object grbProduto: TGroupBox
      Left = 4
      Top = 189
      Width = 502
      Height = 68
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clWindowText
      Font.Height = -11
      Font.Name = 'MS Sans Serif'
      Font.Style = [fsBold]
      ParentFont = False
      TabOrder = 5
      object Label2: TLabel
        Left = 6
        Top = 18
        Width = 94
        Height = 13
        AutoSize = False
        Caption = 'Produto Inicial'
      end
      object Label3: TLabel
        Left = 6
        Top = 43
        Width = 94
        Height = 13
        AutoSize = False
        Caption = 'Produto Final'
      end
      object btnProdInic: TBtnPesquisa
        Left = 212
        Top = 15
        Width = 21
        Height = 21
        Hint = 'Pesquisar'
        ParentShowHint = False
        Glyph = 'search'
        NumGlyphs = 2
        Associate = medCdProdInic
        Title = 'Produto'
        DataSource = dtsProduto__
        FieldNivel = 'CDNVPRODUTO'
        FieldCodigo = 'CDPRODUTO'
        FieldNome = 'NMPRODUTO'
        EmptyError = 'N'#227'o h'#225' produto cadastrado.'
        OnClick = btnProdInicClick
      end
      object medCdProdInic: TMaskEdit
        Left = 107
        Top = 15
        Width = 100
        Height = 21
        Color = clInfoBk
        EditMask = '9999;0; '
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -11
        Font.Name = 'MS Sans Serif'
        Font.Style = []
        ParentFont = False
        MaxLength = 4
        TabOrder = 2
        OnChange = medCdProdInicChange
        OnExit = medCdProdInicExit
      end
      object edtNmProdInic: TEdit
        Left = 237
        Top = 15
        Width = 258
        Height = 21
        Color = clBtnFace
        Enabled = False
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -11
        Font.Name = 'MS Sans Serif'
        Font.Style = []
        ParentFont = False
        TabOrder = 0
      end
      object btnProdFina: TBtnPesquisa
        Left = 212
        Top = 40
        Width = 21
        Height = 21
        Hint = 'Pesquisar'
        ParentShowHint = False
        Glyph = 'search'
        NumGlyphs = 2
        Associate = medCdProdFina
        Title = 'Produto'
        DataSource = dtsProduto__
        FieldNivel = 'CDNVPRODUTO'
        FieldCodigo = 'CDPRODUTO'
        FieldNome = 'NMPRODUTO'
        EmptyError = 'N'#227'o h'#225' produto cadastrado.'
        OnClick = btnProdFinaClick
      end
      object medCdProdFina: TMaskEdit
        Left = 107
        Top = 40
        Width = 100
        Height = 21
        Color = clInfoBk
        EditMask = '9999;0; '
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -11
        Font.Name = 'MS Sans Serif'
        Font.Style = []
        ParentFont = False
        MaxLength = 4
        TabOrder = 3
        OnChange = medCdProdFinaChange
        OnExit = medCdProdFinaExit
      end
      object edtNmProdFina: TEdit
        Left = 237
        Top = 40
        Width = 258
        Height = 21
        Color = clBtnFace
        Enabled = False
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -11
        Font.Name = 'MS Sans Serif'
        Font.Style = []
        ParentFont = False
        TabOrder = 1
      end
    end
    object rdgOrdena: TRadioGroup
      Left = 4
      Top = 257
      Width = 260
      Height = 41
      Caption = 'Ordena'#231#227'o'
      Columns = 2
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clWindowText
      Font.Height = -11
      Font.Name = 'MS Sans Serif'
      Font.Style = [fsBold]
      ParentFont = False
      ItemIndex = 0
      Items.Strings = (
        'C'#243'digo'
        'Alfab'#233'tica')
      TabOrder = 6
    end
    object grbNivel: TGroupBox
      Left = 262
      Top = 257
      Width = 245
      Height = 41
      TabOrder = 7
      object Label1: TLabel
        Left = 6
        Top = 18
        Width = 177
        Height = 13
        AutoSize = False
        Caption = 'Agrupar Produtos pelo N'#237'vel'
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -11
        Font.Name = 'MS Sans Serif'
        Font.Style = [fsBold]
        ParentFont = False
      end
      object sedNiveOrde: TSpinEdit
        Left = 183
        Top = 15
        Width = 40
        Height = 22
        EditorEnabled = False
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clWindowText
        Font.Height = -12
        Font.Name = 'MS Sans Serif'
        Font.Style = []
        ParentFont = False
        MaxLength = 2
        MaxValue = 0
        MinValue = 0
        TabOrder = 0
        Value = 0
      end
    end
    object grbTipoCusto: TGroupBox
      Left = 4
      Top = 298
      Width = 503
      Height = 36
      Caption = 'Tipo de Produto'
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clWindowText
      Font.Height = -11
      Font.Name = 'MS Sans Serif'
      Font.Style = [fsBold]
      ParentFont = False
      TabOrder = 8
      object chbEstocaveis: TCheckBox
        Left = 6
        Top = 15
        Width = 194
        Height = 17
        Caption = 'Estoc'#225'veis'
        Checked = True
        State = cbChecked
        TabOrder = 0
      end
      object chbNaoEstoc: TCheckBox
        Left = 260
        Top = 15
        Width = 205
        Height = 17
        Caption = 'N'#227'o Estoc'#225'veis'
        Checked = True
        State = cbChecked
        TabOrder = 1
      end
    end
  end
  inherited panMenu: TPanel
    Width = 511
    inherited lblCodRel: TLabel
      Left = 382
      Width = 41
      Caption = 'XEV017'
    end
    inherited panBotoes: TPanel
      inherited sbtReportEdit: TButtonFlat
        Left = 104
        Width = 20
      end
    end
  end
  inherited msgPadrao: TMessages
    Messages.Strings = (
      'Arq_Rel_Err|O arquivo contendo a defini'#231#227'o do Relat'#243'rio de c'#243'digo ''%s'' n'#227'o foi encontrado no diret'#243'rio ''%s''.'
      'NovoCaption|T'#237'tulo do Relat'#243'rio'
      'NovoPrompt|Informe o t'#237'tulo do relat'#243'rio:'
      'FILI_EMPTY|Filial deve ser informada.'
      'FILI_INV|Filial n'#227'o cadastrada.'
      'CONT_RESC|Filial com contrato rescindido.'
      'SERV_EMPTY|Servi'#231'o deve ser informado.'
      'SERV_CAD|Servi'#231'o n'#227'o cadastrado.'
      'SERV|Servi'#231'o'
      'TPCUST|Tipo de custo deve ser informado.'
      'CUSTO_CAD|Custo n'#227'o cadastrado.'
      'DATA|Data incial deve ser menor ou igual a data final.'
      'GRUPSERV|Grupo de Servi'#231'os'
      'GRUP_EMPTY|Grupo de servi'#231'os deve ser informado.'
      'TIPO_PROD|Tipo de produto deve ser informado.'
      'ProdInic_nc|Produto n'#227'o cadastrado.'
      'ProdInic_ni|Produto inicial deve ser informado.'
      'DIFERENCA|Diferen'#231'a deve ser maior ou igual a zero.'
      'DataInic_ni|Data inicial deve ser informada.'
      'DataFina_ni|Data final deve ser informada.'
      'ProdFina_nc|Produto n'#227'o cadastrado.'
      'ProdFina_ni|Produto final deve ser informado.'
      'Grup_inf|N'#227'o h'#225' servi'#231'o cadastrado para o grupo de servi'#231'os informado.'
      'Grup_cad|N'#227'o h'#225' grupo de servi'#231'os cadastrado.'
      'Tiprod_inf|Tipo de produto deve ser informado.'
      'Prod_maior|Produto inicial deve ser menor ou igual ao produto final.'
      'N_Dados_CalcCusto|N'#227'o existe custo calculado para o per'#237'odo informado. Utilize a op'#231#227'o " Prepara'#231#227'o de Custos ".'
      'Prod|Produto'
      'Prod_Empty|N'#227'o h'#225' produto cadastrado.'
      'CENTRAL_ni|Central de alimenta'#231#227'o escolar deve ser informada.'
      'CENTRAL_nc|Central de alimenta'#231#227'o escolar n'#227'o cadatrada.'
      'N_Filial_Centr|Filial n'#227'o est'#225' ligada a uma central de alimenta'#231#227'o escolar. O cadastro deve ser realizado na matriz.'
      'TIPOCUS_NCAD|N'#227'o h'#225' tipo de custo parametrizado.')
  end
  inherited rpddPadrao: TReportDesignerDialog
    DefaultDatabaseName = ''
    BeforeGetQueryParams = rpddPadraoBeforeGetQueryParams
  end
  object dtsFilial__: TDataSource
    DataSet = qryTAgreg.Query
    Left = 16
    Top = 8
  end
  object dtsServico__: TDataSource
    DataSet = qryServico.Query
    Left = 16
    Top = 8
  end
  object dtsGrupServ__: TDataSource
    DataSet = qryGrupServ.Query
    Left = 16
    Top = 8
  end
  object dtsProduto__: TDataSource
    DataSet = qryProduto.Query
    Left = 16
    Top = 8
  end
  object qryFilial: TADOIBQuery
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
    Params = <
      item
        DataType = ftString
        Name = 'P_CDFILIAL'
        ParamType = ptUnknown
      end>
    SQL.Strings = (
      'SELECT A.CDFILIAL, A.NMFILIAL, A.IDCNTRRESC, A.IDFILCENTXEV,'
      '       A.CDFILCENTXEV, (SELECT NMFILIAL'
      '                          FROM FILIAL'
      '                         WHERE CDFILIAL = A.CDFILCENTXEV) AS NMFILCENTXEV'
      '  FROM FILIAL A'
      ' WHERE CDFILIAL = :P_CDFILIAL')
    SQL_ORACLE.Strings = (
      'SELECT A.CDFILIAL, A.NMFILIAL, A.IDCNTRRESC, A.IDFILCENTXEV,'
      '       A.CDFILCENTXEV, (SELECT NMFILIAL'
      '                          FROM FILIAL'
      '                         WHERE CDFILIAL = A.CDFILCENTXEV) AS NMFILCENTXEV'
      '  FROM FILIAL A'
      ' WHERE CDFILIAL = :P_CDFILIAL')
    SQL_MSSQL.Strings = (
      'SELECT A.CDFILIAL, A.NMFILIAL, A.IDCNTRRESC, A.IDFILCENTXEV,'
      '       A.CDFILCENTXEV, (SELECT NMFILIAL'
      '                          FROM FILIAL'
      '                         WHERE CDFILIAL = A.CDFILCENTXEV) AS NMFILCENTXEV'
      '  FROM FILIAL A'
      ' WHERE CDFILIAL = :P_CDFILIAL')
    SQL_IB.Strings = (
      'SELECT A.CDFILIAL, A.NMFILIAL, A.IDCNTRRESC, A.IDFILCENTXEV,'
      '       A.CDFILCENTXEV, (SELECT NMFILIAL'
      '                          FROM FILIAL'
      '                         WHERE CDFILIAL = A.CDFILCENTXEV) AS NMFILCENTXEV'
      '  FROM FILIAL A,'
      '       PARAM(:P_CDFILIAL) P_CDFILIAL'
      ' WHERE CDFILIAL = P_CDFILIAL.PARAM')
    object qryFilialCDFILIAL: TADOIBStringField
      DisplayLabel = 'C'#243'digo'
      FieldName = 'CDFILIAL'
      Required = True
      Size = 4
    end
    object qryFilialNMFILIAL: TADOIBStringField
      DisplayLabel = 'Nome'
      FieldName = 'NMFILIAL'
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
  end
  object qryServico: TADOIBQuery
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
      '   CDSERVFILI')
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
      '   CDSERVFILI')
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
      '   CDSERVFILI')
    object qryServicoCDSERVFILI: TADOIBStringField
      DisplayLabel = 'C'#243'digo'
      FieldName = 'CDSERVFILI'
      Required = True
      Size = 5
    end
    object qryServicoNMSERVICO: TADOIBStringField
      DisplayLabel = 'Nome'
      FieldName = 'NMSERVICO'
      Size = 40
    end
  end
  object qryProduto: TADOIBQuery
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
      '   CDARVPROD')
    SQL_ORACLE.Strings = (
      'SELECT'
      '   CDARVPROD,'
      '   NMPRODUTO,'
      '   CDNVPRODUTO'
      'FROM'
      '   PRODUTO'
      'ORDER BY'
      '   CDARVPROD')
    SQL_MSSQL.Strings = (
      'SELECT'
      '   CDARVPROD,'
      '   NMPRODUTO,'
      '   CDNVPRODUTO'
      'FROM'
      '   PRODUTO'
      'ORDER BY'
      '   CDARVPROD')
    SQL_IB.Strings = (
      'SELECT'
      '   CDARVPROD,'
      '   NMPRODUTO,'
      '   CDNVPRODUTO'
      'FROM'
      '   PRODUTO'
      'ORDER BY'
      '   CDARVPROD')
    object qryProdutoCDARVPROD: TADOIBStringField
      DisplayLabel = 'C'#243'digo'
      FieldName = 'CDARVPROD'
    end
    object qryProdutoNMPRODUTO: TADOIBStringField
      DisplayLabel = 'Nome'
      FieldName = 'NMPRODUTO'
      Size = 50
    end
    object qryProdutoCDNVPRODUTO: TADOIBStringField
      FieldName = 'CDNVPRODUTO'
      Visible = False
      Size = 1
    end
  end
  object qryGrupServ: TADOIBQuery
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
      '   CDGRUPSERV')
    SQL_ORACLE.Strings = (
      'SELECT'
      '   CDGRUPSERV,'
      '   NMGRUPSERV'
      'FROM'
      '   GRUPSERV'
      'ORDER BY'
      '   CDGRUPSERV')
    SQL_MSSQL.Strings = (
      'SELECT'
      '   CDGRUPSERV,'
      '   NMGRUPSERV'
      'FROM'
      '   GRUPSERV'
      'ORDER BY'
      '   CDGRUPSERV')
    SQL_IB.Strings = (
      'SELECT'
      '   CDGRUPSERV,'
      '   NMGRUPSERV'
      'FROM'
      '   GRUPSERV'
      'ORDER BY'
      '   CDGRUPSERV')
    object qryGrupServCDGRUPSERV: TADOIBStringField
      DisplayLabel = 'C'#243'digo'
      FieldName = 'CDGRUPSERV'
      Required = True
      Size = 3
    end
    object qryGrupServNMGRUPSERV: TADOIBStringField
      DisplayLabel = 'Nome'
      FieldName = 'NMGRUPSERV'
      Size = 30
    end
  end
  object qryVdProduto: TADOIBQuery
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
    Params = <
      item
        DataType = ftString
        Name = 'P_CDARVPROD'
        ParamType = ptUnknown
      end>
    SQL.Strings = (
      'SELECT'
      '   NMPRODUTO'
      'FROM'
      '   PRODUTO'
      'WHERE'
      '   (CDARVPROD = :P_CDARVPROD)')
    SQL_ORACLE.Strings = (
      'SELECT'
      '   NMPRODUTO'
      'FROM'
      '   PRODUTO'
      'WHERE'
      '   (CDARVPROD = :P_CDARVPROD)')
    SQL_MSSQL.Strings = (
      'SELECT'
      '   NMPRODUTO'
      'FROM'
      '   PRODUTO'
      'WHERE'
      '   (CDARVPROD = :P_CDARVPROD)')
    SQL_IB.Strings = (
      'SELECT'
      '   NMPRODUTO'
      'FROM'
      '   PRODUTO'
      'WHERE'
      '   (CDARVPROD = :P_CDARVPROD)')
    object qryVdProdutoNMPRODUTO: TADOIBStringField
      FieldName = 'NMPRODUTO'
      Size = 50
    end
  end
  object qryTAgreg: TADOIBQuery
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
    SQL.Strings = (
      'SELECT F.CDFILIAL, F.NMFILIAL, F.CDFILCENTXEV'
      '  FROM FILIAL F, '
      '       PARAM(:P_CDFILIAL) P_CDFILIAL,'
      '       PARAM(:P_CDFILCENTXEV) P_CDFILCENTXEV'
      ' WHERE (NVLSTR(P_CDFILIAL.PARAM, F.CDFILIAL) = F.CDFILIAL)'
      '   AND (F.CDFILCENTXEV = P_CDFILCENTXEV.PARAM)'
      ' ORDER BY F.CDFILIAL')
    SQL_ORACLE.Strings = (
      'SELECT F.CDFILIAL, F.NMFILIAL, F.CDFILCENTXEV'
      '  FROM FILIAL F'
      ' WHERE (NVL(:P_CDFILIAL, F.CDFILIAL) = F.CDFILIAL) '
      '   AND (F.CDFILCENTXEV = :P_CDFILCENTXEV)'
      ' ORDER BY F.CDFILIAL')
    SQL_MSSQL.Strings = (
      'SELECT F.CDFILIAL, F.NMFILIAL, F.CDFILCENTXEV'
      '  FROM FILIAL F'
      ' WHERE (ISNULL(:P_CDFILIAL, F.CDFILIAL) = F.CDFILIAL) '
      '   AND (F.CDFILCENTXEV = :P_CDFILCENTXEV)'
      ' ORDER BY F.CDFILIAL')
    SQL_IB.Strings = (
      'SELECT F.CDFILIAL, F.NMFILIAL, F.CDFILCENTXEV'
      '  FROM FILIAL F, '
      '       PARAM(:P_CDFILIAL) P_CDFILIAL,'
      '       PARAM(:P_CDFILCENTXEV) P_CDFILCENTXEV'
      ' WHERE (NVLSTR(P_CDFILIAL.PARAM, F.CDFILIAL) = F.CDFILIAL)'
      '   AND (F.CDFILCENTXEV = P_CDFILCENTXEV.PARAM)'
      ' ORDER BY F.CDFILIAL')
    object qryTAgregCDFILIAL: TADOIBStringField
      DisplayLabel = 'C'#243'digo'
      FieldName = 'CDFILIAL'
      Required = True
      Size = 4
    end
    object qryTAgregNMFILIAL: TADOIBStringField
      DisplayLabel = 'Nome'
      FieldName = 'NMFILIAL'
      Size = 30
    end
    object qryTAgregCDFILCENTXEV: TADOIBStringField
      FieldName = 'CDFILCENTXEV'
      Visible = False
      Size = 4
    end
  end
  object netCustProd: TNetConnection
    ServerName = 'Vbr.rdmCustProd'
    ThrowException = False
    BeforeConnect = netCustProdBeforeConnect
    Left = 48
    Top = 8
  end
end
