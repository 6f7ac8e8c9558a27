-- Reference rows of the demo database, the same for every engine (plain
-- INSERTs, dates as 'YYYY-MM-DD'). The product tree and the realised costs
-- are made by DemoData (db/DemoData.cpp). Codes are listed in db/README.md.

-- Head office, three school-meals centrals, their aggregated branches and one
-- branch linked to no central.
INSERT INTO FILIAL VALUES ('0001', 'Matriz Sede Administrativa', 'N', 'N', NULL);
INSERT INTO FILIAL VALUES ('0100', 'Central de Alimentação Norte', 'S', 'S', NULL);
INSERT INTO FILIAL VALUES ('0101', 'Escola Municipal São João', 'N', 'N', '0100');
INSERT INTO FILIAL VALUES ('0102', 'EMEF Maria José Câmara', 'N', 'N', '0100');
INSERT INTO FILIAL VALUES ('0103', 'Creche Pingo de Gente', 'S', 'N', '0100');
INSERT INTO FILIAL VALUES ('0104', 'Escola Estadual Conceição', 'N', 'N', '0100');
INSERT INTO FILIAL VALUES ('AB12', 'Unidade Volante Ação Social', 'N', 'N', '0100');
INSERT INTO FILIAL VALUES ('0200', 'Central de Merenda Sul', 'S', 'S', NULL);
INSERT INTO FILIAL VALUES ('0201', 'Escola Rural Boa Esperança', 'N', 'N', '0200');
INSERT INTO FILIAL VALUES ('0202', 'EMEI Pequeno Príncipe', 'N', 'N', '0200');
INSERT INTO FILIAL VALUES ('0203', 'Colégio Municipal Irmã Dulce', 'N', 'N', '0200');
INSERT INTO FILIAL VALUES ('0300', 'Central de Merenda Leste', 'N', 'S', NULL);
INSERT INTO FILIAL VALUES ('0301', 'Escola Municipal Três Rios', 'N', 'N', '0300');
INSERT INTO FILIAL VALUES ('0302', 'EMEF Açaí do Pará', 'N', 'N', '0300');
INSERT INTO FILIAL VALUES ('0900', 'Filial Administrativa Centro', 'N', 'N', NULL);

INSERT INTO PROCFILIAL VALUES ('0001', '2026-03-16');
INSERT INTO PROCFILIAL VALUES ('0100', '2026-03-16');
INSERT INTO PROCFILIAL VALUES ('0101', '2026-03-16');
INSERT INTO PROCFILIAL VALUES ('0102', '2026-03-13');
INSERT INTO PROCFILIAL VALUES ('0103', '2026-03-16');
INSERT INTO PROCFILIAL VALUES ('0104', '2026-03-12');
INSERT INTO PROCFILIAL VALUES ('AB12', '2026-03-09');
INSERT INTO PROCFILIAL VALUES ('0200', '2026-03-10');
INSERT INTO PROCFILIAL VALUES ('0201', '2026-03-10');
INSERT INTO PROCFILIAL VALUES ('0202', '2026-03-11');
INSERT INTO PROCFILIAL VALUES ('0203', '2026-03-10');
INSERT INTO PROCFILIAL VALUES ('0300', '2026-02-27');
INSERT INTO PROCFILIAL VALUES ('0301', '2026-02-27');
INSERT INTO PROCFILIAL VALUES ('0302', '2026-02-27');
INSERT INTO PROCFILIAL VALUES ('0900', '2026-03-02');

INSERT INTO MODUFILIAL VALUES ('0100', 'XEV01700', 'F', NULL);
INSERT INTO MODUFILIAL VALUES ('0200', 'XEV01700', 'M', NULL);
INSERT INTO MODUFILIAL VALUES ('0300', 'XEV01700', 'R', 'Módulo de merenda bloqueado para a Central de Merenda Leste: contrato de fornecimento suspenso.');
INSERT INTO MODUFILIAL VALUES ('0900', 'XEV01700', 'F', NULL);

INSERT INTO PICTCODIGO VALUES (0, 'Árvore de Produtos', '2,2,4', '99.99.9999;0; ');
INSERT INTO PICTCODIGO VALUES (1, 'Plano de Contas', '1,1,2,3', '9.9.99.999;0; ');

INSERT INTO TIPOCUSTO VALUES (1, 'Custo Médio', 2);
INSERT INTO TIPOCUSTO VALUES (2, 'Custo de Reposição', 1);
INSERT INTO TIPOCUSTO VALUES (3, 'Custo Padrão', 3);
INSERT INTO TIPOCUSTO VALUES (4, 'Custo Contábil', 4);

INSERT INTO GRUPSERV VALUES ('001', 'Desjejum');
INSERT INTO GRUPSERV VALUES ('002', 'Lanche da Manhã');
INSERT INTO GRUPSERV VALUES ('003', 'Almoço');
INSERT INTO GRUPSERV VALUES ('004', 'Lanche da Tarde');
INSERT INTO GRUPSERV VALUES ('005', 'Jantar');
INSERT INTO GRUPSERV VALUES ('006', 'Ceia Noturna');
INSERT INTO GRUPSERV VALUES ('007', 'Dietas Especiais');
INSERT INTO GRUPSERV VALUES ('008', 'Eventos e Festividades');
INSERT INTO GRUPSERV VALUES ('009', 'Berçário e Lactário');
INSERT INTO GRUPSERV VALUES ('010', 'Programa Mais Educação');

-- Services per aggregated branch (none for the centrals, the head office
-- or branch 0900).
INSERT INTO SERVICO VALUES ('0101', '00001', 'Desjejum Ensino Fundamental', '001');
INSERT INTO SERVICO VALUES ('0101', '00002', 'Lanche da Manhã Ensino Fundamental', '002');
INSERT INTO SERVICO VALUES ('0101', '00003', 'Almoço Ensino Fundamental', '003');
INSERT INTO SERVICO VALUES ('0101', '00004', 'Almoço Educação Infantil', '003');
INSERT INTO SERVICO VALUES ('0101', '00005', 'Lanche da Tarde Contraturno', '004');
INSERT INTO SERVICO VALUES ('0101', '00006', 'Jantar Educação de Jovens e Adultos', '005');
INSERT INTO SERVICO VALUES ('0101', '00007', 'Dieta sem Glúten', '007');
INSERT INTO SERVICO VALUES ('0101', '00008', 'Dieta sem Lactose', '007');
INSERT INTO SERVICO VALUES ('0101', '00009', 'Festa Junina', '008');
INSERT INTO SERVICO VALUES ('0101', '00010', 'Mais Educação Oficinas', '010');
INSERT INTO SERVICO VALUES ('0102', '00001', 'Desjejum', '001');
INSERT INTO SERVICO VALUES ('0102', '00002', 'Almoço', '003');
INSERT INTO SERVICO VALUES ('0102', '00003', 'Lanche da Tarde', '004');
INSERT INTO SERVICO VALUES ('0102', '00004', 'Jantar Noturno', '005');
INSERT INTO SERVICO VALUES ('0102', '00005', 'Ceia do Período Integral', '006');
INSERT INTO SERVICO VALUES ('0102', '00006', 'Dieta para Diabéticos', '007');
INSERT INTO SERVICO VALUES ('0103', '00001', 'Lactário Berçário I', '009');
INSERT INTO SERVICO VALUES ('0103', '00002', 'Lactário Berçário II', '009');
INSERT INTO SERVICO VALUES ('0103', '00003', 'Desjejum Maternal', '001');
INSERT INTO SERVICO VALUES ('0103', '00004', 'Almoço Maternal', '003');
INSERT INTO SERVICO VALUES ('0103', '00005', 'Lanche da Tarde Maternal', '004');
INSERT INTO SERVICO VALUES ('0104', '00001', 'Desjejum Ensino Médio', '001');
INSERT INTO SERVICO VALUES ('0104', '00002', 'Almoço Ensino Médio', '003');
INSERT INTO SERVICO VALUES ('0104', '00003', 'Lanche Intervalo', '002');
INSERT INTO SERVICO VALUES ('0104', '00004', 'Jantar Ensino Técnico', '005');
INSERT INTO SERVICO VALUES ('0104', '00005', 'Formatura e Confraternização', '008');
INSERT INTO SERVICO VALUES ('AB12', 'V0001', 'Refeição Volante Comunidades', '003');
INSERT INTO SERVICO VALUES ('AB12', 'V0002', 'Lanche Volante', '004');
INSERT INTO SERVICO VALUES ('AB12', 'V0003', 'Sopão Solidário', '005');
INSERT INTO SERVICO VALUES ('AB12', 'V0004', 'Ação de Natal', '008');
INSERT INTO SERVICO VALUES ('0201', '00001', 'Desjejum Escola do Campo', '001');
INSERT INTO SERVICO VALUES ('0201', '00002', 'Almoço Escola do Campo', '003');
INSERT INTO SERVICO VALUES ('0201', '00003', 'Lanche da Tarde', '004');
INSERT INTO SERVICO VALUES ('0201', '00004', 'Jantar Alternância', '005');
INSERT INTO SERVICO VALUES ('0201', '00005', 'Ceia Alternância', '006');
INSERT INTO SERVICO VALUES ('0201', '00006', 'Mais Educação Horta', '010');
INSERT INTO SERVICO VALUES ('0202', '00001', 'Desjejum Pré-Escola', '001');
INSERT INTO SERVICO VALUES ('0202', '00002', 'Colação da Manhã', '002');
INSERT INTO SERVICO VALUES ('0202', '00003', 'Almoço Pré-Escola', '003');
INSERT INTO SERVICO VALUES ('0202', '00004', 'Lanche da Tarde', '004');
INSERT INTO SERVICO VALUES ('0202', '00005', 'Dieta sem Açúcar', '007');
INSERT INTO SERVICO VALUES ('0203', '00001', 'Desjejum', '001');
INSERT INTO SERVICO VALUES ('0203', '00002', 'Almoço', '003');
INSERT INTO SERVICO VALUES ('0203', '00003', 'Lanche da Tarde', '004');
INSERT INTO SERVICO VALUES ('0203', '00004', 'Feira de Ciências', '008');
INSERT INTO SERVICO VALUES ('0203', '00005', 'Mais Educação Esporte', '010');
INSERT INTO SERVICO VALUES ('0301', '00001', 'Desjejum', '001');
INSERT INTO SERVICO VALUES ('0301', '00002', 'Almoço', '003');
INSERT INTO SERVICO VALUES ('0301', '00003', 'Lanche da Tarde', '004');
INSERT INTO SERVICO VALUES ('0302', '00001', 'Almoço Ribeirinho', '003');
INSERT INTO SERVICO VALUES ('0302', '00002', 'Lanche com Açaí', '004');
INSERT INTO SERVICO VALUES ('0302', '00003', 'Jantar', '005');
