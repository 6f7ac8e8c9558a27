object frmDadosGerRel: TfrmDadosGerRel
  Left = 250
  Top = 150
  BorderStyle = bsSingle
  Caption = 'Dados do Relat'#243'rio'
  ClientHeight = 366
  ClientWidth = 511
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  FormStyle = fsMDIChild
  OldCreateOrder = False
  Position = poDefault
  Visible = True
  OnActivate = FormActivate
  OnClose = FormClose
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 13
  object grbDadosRel: TGroupBox
    Left = 0
    Top = 0
    Width = 511
    Height = 339
    TabOrder = 0
    object bvlSeparator: TBevel
      Left = 2
      Top = 42
      Width = 507
      Height = 2
      Align = alTop
      Shape = bsTopLine
    end
    object panRelat: TPanel
      Left = 2
      Top = 15
      Width = 507
      Height = 27
      Align = alTop
      BevelOuter = bvNone
      TabOrder = 0
      object lblRelat: TLabel
        Left = 8
        Top = 7
        Width = 47
        Height = 13
        Caption = 'Relat'#243'rio'
        FocusControl = cbbReportNames
      end
      object cbbReportNames: TComboBox
        Left = 64
        Top = 3
        Width = 438
        Height = 21
        Style = csDropDownList
        ItemHeight = 13
        TabOrder = 0
      end
    end
  end
  object panMenu: TPanel
    Left = 0
    Top = 339
    Width = 511
    Height = 27
    Align = alBottom
    BevelOuter = bvLowered
    TabOrder = 1
    object lblCodRel: TLabel
      Left = 382
      Top = 7
      Width = 41
      Height = 13
      Caption = 'REL'
    end
    object panBotoes: TPanel
      Left = 2
      Top = 2
      Width = 128
      Height = 23
      BevelOuter = bvNone
      TabOrder = 0
      object sbtPrint: TSpeedButton
        Left = 2
        Top = 0
        Width = 23
        Height = 23
        Hint = 'Imprimir'
        Flat = True
        Glyph = 'print'
        ParentShowHint = False
        ShowHint = True
        TabStop = True
        OnClick = sbtPrintClick
      end
      object sbtPreview: TSpeedButton
        Left = 27
        Top = 0
        Width = 23
        Height = 23
        Hint = 'Visualizar'
        Flat = True
        Glyph = 'preview'
        ParentShowHint = False
        ShowHint = True
        TabStop = True
        OnClick = sbtPreviewClick
      end
      object sbtSalvarComo: TSpeedButton
        Left = 52
        Top = 0
        Width = 23
        Height = 23
        Hint = 'Salvar como'
        Flat = True
        Glyph = 'save'
        ParentShowHint = False
        ShowHint = True
        TabStop = True
        OnClick = sbtSalvarComoClick
      end
      object sbtExportar: TButtonFlat
        Left = 77
        Top = 0
        Width = 25
        Height = 23
        Hint = 'Exportar para planilha'
        Glyph = 'export'
        ParentShowHint = False
        ShowHint = True
        TabStop = True
        object mnuExportarCsv: TMenuItem
          Caption = 'Exportar para CSV'
          OnClick = mnuExportarCsvClick
        end
        object mnuExportarXlsx: TMenuItem
          Caption = 'Exportar para Excel (XLSX)'
          OnClick = mnuExportarXlsxClick
        end
      end
      object sbtReportEdit: TButtonFlat
        Left = 104
        Top = 0
        Width = 20
        Height = 23
        Hint = 'Editar relat'#243'rio'
        Glyph = 'edit'
        ParentShowHint = False
        ShowHint = True
        TabStop = True
        object mnuEditRel: TMenuItem
          Caption = 'Editar Relat'#243'rio'
          OnClick = mnuEditRelClick
        end
        object mnuRelatPadr: TMenuItem
          Caption = 'Relat'#243'rio Padr'#227'o'
          OnClick = mnuRelatPadrClick
        end
      end
    end
  end
  object lblCodTela: TLabel
    Left = 452
    Top = 346
    Width = 50
    Height = 13
    Caption = 'TELA'
  end
  object msgPadrao: TMessages
    Left = 200
    Top = 8
    Messages.Strings = (
      'Arq_Rel_Err|O arquivo contendo a defini'#231#227'o do Relat'#243'rio de c'#243'digo '#39'%s'#39' n'#227'o foi encontrado no diret'#243'rio '#39'%s'#39'.'
      'NovoCaption|T'#237'tulo do Relat'#243'rio'
      'NovoPrompt|Informe o t'#237'tulo do relat'#243'rio:')
  end
  object msgMensagens: TMessages
    Left = 232
    Top = 8
  end
  object rpddPadrao: TReportDesignerDialog
    Left = 296
    Top = 8
  end
  object svdSaveReport: TSaveDialog
    DefaultExt = 'pdf'
    Filter = 'Documento PDF|*.pdf'
    Left = 264
    Top = 8
  end
end
