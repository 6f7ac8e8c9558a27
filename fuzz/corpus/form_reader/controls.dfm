object frmFuzz: TfrmFuzz
  Caption = 'Teste '#231#227'o' +
    ' cont.'
  KeyPreview = True
  OnKeyDown = FormKeyDown
  Font.Style = [fsBold, fsItalic]
  Font.Height = -11
  object edtCodigo: TMaskEdit
    EditMask = '>aaaa;0; '
    Text = 'ab'
    OnChange = Change
  end
  object rgpTipo: TRadioGroup
    Items.Strings = (
      'Um'
      'Dois')
    ItemIndex = $0001
  end
  object spnNivel: TSpinEdit
    MaxValue = 8
    MinValue = 1
    Value = 2
  end
  object lblX: TLabel
    FocusControl = edtCodigo
  end
end
