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
end
