object frmFuzz: TfrmFuzz
  // a comment
  Tag = -1.5e3
  Data = {0A0B 0c}
  Params = <
    item
      Name = 'P_X'
      Size = 10
    end>
  Mixed = (
    'a'#39'b''c'
    12
    ident)
  inline frmIn: TForm
  end
end
