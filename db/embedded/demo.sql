-- Demo data: the active lab account 1001 (password 1234) with its contact,
-- a related lab, an inactive account, a non-lab account, products whose
-- keys start with different letters, issued card ranges, and records in
-- every status, sent-back ones with their reasons.

INSERT INTO tblSystem (flditemname, flditemCaption) VALUES
    ('Company', '齿科材料供应中心'),
    ('Version', '1.0.4'),
    ('System',  '质保卡管理系统');

INSERT INTO tblMaker (fldsn, fldId, fldpassword, fldstate, fldcontactor, fldmakername, fldmakertype, fldphone, fldmakercode, fldsame) VALUES
    (1, '1001', '1234', '01', '王建国', '华美义齿制作所', '01', '010-62345678', 'HM01', 2),
    (2, '1002', '5678', '01', '李敏',   '华美义齿二厂',   '01', '010-62345679', 'HM02', NULL),
    (3, '1003', '1111', '02', '赵停',   '已停用制作所',   '01', '021-5555000',  'TY01', NULL),
    (4, '9001', '9999', '01', '孙经理', '区域代理商',     '02', '020-8888000',  'DL01', NULL);

-- Warranty terms by material: alloy and zirconia crowns for years, veneers
-- for two; the discontinued product has none.
INSERT INTO tblProduct (fldPrdKey, fldPrdName, fldstate, fldWarrantyMonths) VALUES
    ('C01', '钴铬合金烤瓷冠', '01', 36),
    ('D01', '二氧化锆全瓷冠', '01', 60),
    ('E01', '铸瓷贴面',       '01', 24),
    ('X01', '停产产品',       '02', NULL);

-- Ranges: lab 1 holds C00000100-C00000500 and D00000001-D00000099; its
-- related lab 2 holds C00000600-C00000699.
INSERT INTO tblProductNoSet (fldPrdNoFrom, fldPrdNoTo, fldmaker) VALUES
    ('C00000100', 'C00000500', 1),
    ('D00000001', 'D00000099', 1),
    ('E00001000', 'E00001999', 1),
    ('C00000600', 'C00000699', 2),
    ('D00000100', 'D00000199', 3);

INSERT INTO tblrecord (fldMsn, fldmaker, fldPrdName, fldPrdNo, fldPLName, fldPFName, fldDLName, fldDFName, fldHospital, fldOpTime, fldPdTime, fldOpDesp, fldMemo, fldStatus, fldsubmitDate, fldpublishDate, fldreturnmemo) VALUES
    (1, '1001', 'C01', 'C00000110', '张', '伟',   '刘', '洋', '北京口腔医院',     '2013-09-10', '2013-09-05', '上颌前牙烤瓷冠', '',         '00', NULL, NULL, ''),
    (1, '1001', 'D01', 'D00000012', '陈', '静',   '周', '平', '朝阳区牙科诊所',   '2013-09-12', '2013-09-08', '下颌磨牙全瓷冠', '复诊',     '00', NULL, NULL, ''),
    (1, '1001', 'C01', 'C00000120', '杨', '帆',   '吴', '磊', '北京口腔医院',     '2013-09-01', '2013-08-28', '',               '',         '01', '2013-09-02', NULL, ''),
    (1, '1001', 'E01', 'E00001005', '黄', '丽',   '郑', '军', '海淀齿科门诊',     '2013-08-20', '2013-08-15', '贴面',           '',         '03', '2013-08-22', NULL, '患者姓名与医院登记不符'),
    (1, '1001', 'C01', 'C00000130', '林', '晨',   '何', '晓', '北京口腔医院',     '2013-08-10', '2013-08-05', '单冠',           '',         '02', '2013-08-11', '2013-08-20', ''),
    (1, '1001', 'D01', 'D00000020', '罗', '佳',   '高', '峰', '朝阳区牙科诊所',   '2013-09-03', '2013-08-30', '桥体',           '三单位桥', '02', '2013-09-04', '2013-09-10', ''),
    (2, '1002', 'C01', 'C00000610', '宋', '雨',   '梁', '冰', '西城口腔门诊部',   '2013-09-06', '2013-09-01', '',               '',         '01', '2013-09-07', NULL, '');

INSERT INTO dicBasCode (fldType, fldCode, fldName, fldSort) VALUES
    ('Status', '00', '待提交', 1),
    ('Status', '01', '待审批', 2),
    ('Status', '02', '已发布', 3),
    ('Status', '03', '已退回', 4);

INSERT INTO dicOpMenus (fldkey, fldW, fldN1, fldA1, fldW1, fldN2, fldA2, fldW2, fldN3, fldA3, fldW3) VALUES
    ('RANGE', 3, '起始卡号', 1, 1400, '终止卡号', 1, 1400, '制作所', 1, 2000);
