-- Demo content of a metrology laboratory. Loaded after the schema by scripts/demo; tests use their
-- own smaller fixture.

-- Logins: admin / admin (administrator), operator / operator (reference books, limited rows).
DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'ORTA-Администраторы') THEN
        CREATE ROLE "ORTA-Администраторы" NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'ORTA-Метрологи') THEN
        CREATE ROLE "ORTA-Метрологи" NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'admin') THEN
        CREATE ROLE admin LOGIN PASSWORD 'admin' IN ROLE "ORTA-Администраторы";
    END IF;
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'operator') THEN
        CREATE ROLE operator LOGIN PASSWORD 'operator' IN ROLE "ORTA-Метрологи";
    END IF;
    -- The logins of a cluster a former demo made: securityadmin was CREATEROLE then.
    ALTER ROLE admin NOCREATEROLE;
END $$;

INSERT INTO tRoles (id, fname, Notes) OVERRIDING SYSTEM VALUE VALUES
    (1, 'ORTA-Администраторы', 'Администраторы системы'),
    (2, 'ORTA-Метрологи', 'Ведение справочников лаборатории');
INSERT INTO UserInfo (id, UserName, userSurnameNP, userNameNP, userPatronymicNP, Post) OVERRIDING SYSTEM VALUE VALUES
    (1, 'admin', 'Соколова', 'Анна', 'Викторовна', 'Администратор системы'),
    (2, 'operator', 'Кузнецов', 'Дмитрий', 'Олегович', 'Инженер-метролог');
INSERT INTO tUserRoles (InkUser, InkRole) VALUES (1, 1), (2, 2);
-- The administrators keep roles and users; the metrologists' role runs the lab's services.
GRANT "ORTASecurityAdmin" TO "ORTA-Администраторы";
GRANT vestar_securityadmin TO admin;
INSERT INTO com_soft (soft_id, soft_name, soft_run_role) VALUES (15, 'Служба обмена с центральным реестром', 2);
SELECT setval(pg_get_serial_sequence('tRoles', 'id'), 10);
SELECT setval(pg_get_serial_sequence('UserInfo', 'id'), 10);

GRANT SELECT, UPDATE ON StaticPermissions TO "ORTA-Администраторы";
GRANT SELECT ("АРМ Администратора", "Работа со справочниками"), UPDATE ("Работа со справочниками")
    ON StaticPermissions TO "ORTA-Метрологи";
DO $$
DECLARE t text;
BEGIN
    FOR t IN SELECT tablename FROM pg_tables WHERE schemaname = 'public' LOOP
        EXECUTE format('GRANT SELECT, INSERT, UPDATE, DELETE ON %I TO "ORTA-Администраторы"', t);
        -- The functions are column grants: a table-wide read would give the metrologists them all.
        IF t <> 'staticpermissions' THEN
            EXECUTE format('GRANT SELECT ON %I TO "ORTA-Метрологи"', t);
        END IF;
    END LOOP;
    FOR t IN SELECT viewname FROM pg_views WHERE schemaname = 'public' LOOP
        EXECUTE format('GRANT SELECT ON %I TO "ORTA-Администраторы", "ORTA-Метрологи"', t);
    END LOOP;
END $$;
GRANT INSERT, UPDATE ON tMiTypes, MsrUnit, ParmName, MsrUnitParmName, IntervalRef, IntervalCycle, tRoletMiTypes
    TO "ORTA-Метрологи";
-- The departments of the central register are written through their view.
GRANT INSERT, UPDATE, DELETE ON v_ALL_MSUL_DEPARTMENT TO "ORTA-Администраторы";

-- Instrument types: kinds of measurement, groups, types, modifications (four levels).
INSERT INTO tFormTypes (id, SName) OVERRIDING SYSTEM VALUE VALUES (1, 'Паспорт'), (2, 'Формуляр'), (3, 'Свидетельство о поверке');
WITH kinds(k, name) AS (VALUES
        (1, 'Измерения давления'), (2, 'Измерения температуры'), (3, 'Электрические измерения'),
        (4, 'Измерения массы'), (5, 'Геометрические измерения'), (6, 'Измерения расхода')),
     groups(k, g, name) AS (VALUES
        (1, 1, 'Манометры'), (1, 2, 'Вакуумметры'), (1, 3, 'Датчики давления'),
        (2, 1, 'Термометры сопротивления'), (2, 2, 'Термопары'), (2, 3, 'Пирометры'),
        (3, 1, 'Мультиметры'), (3, 2, 'Амперметры'), (3, 3, 'Вольтметры'), (3, 4, 'Осциллографы'),
        (4, 1, 'Весы лабораторные'), (4, 2, 'Гири'),
        (5, 1, 'Штангенциркули'), (5, 2, 'Микрометры'), (5, 3, 'Нутромеры'),
        (6, 1, 'Расходомеры электромагнитные'), (6, 2, 'Счётчики воды')),
     makers(m, name) AS (VALUES (1, 'ЭлМетро'), (2, 'Метран'), (3, 'Теплоприбор'), (4, 'Калибр'), (5, 'Прибор'))
INSERT INTO tMiTypes (id, ParentId, fName, sName, lnkFrmType) OVERRIDING SYSTEM VALUE
SELECT k, NULL, name, NULL, 1 FROM kinds
UNION ALL
SELECT k * 100 + g, k, name, NULL, 1 FROM groups
UNION ALL
SELECT (k * 100 + g) * 100 + m, k * 100 + g, g2.name || ' ' || makers.name || '-' || (10 * m + g),
       left(g2.name, 4) || '-' || (10 * m + g), 1 + m % 2
FROM groups g2 CROSS JOIN makers
UNION ALL
SELECT ((k * 100 + g) * 100 + m) * 10 + v, (k * 100 + g) * 100 + m,
       g2.name || ' ' || makers.name || '-' || (10 * m + g) || ' исп. ' || v, NULL, 1
FROM groups g2 CROSS JOIN makers CROSS JOIN generate_series(1, 3) v;
SELECT setval(pg_get_serial_sequence('tMiTypes', 'id'), 100000);

-- The operator sees everything but electrical measurements, and may change pressure instruments.
INSERT INTO tRoletMiTypes (InkRole, InkId, r, w)
SELECT 2, id, 1, CASE WHEN id = 1 OR id BETWEEN 100 AND 199 OR id BETWEEN 10000 AND 19999 OR id BETWEEN 100000 AND 199999
                      THEN 1 ELSE 0 END
FROM tMiTypes
WHERE NOT (id = 3 OR id BETWEEN 300 AND 399 OR id BETWEEN 30000 AND 39999 OR id BETWEEN 300000 AND 399999);

INSERT INTO tSubDivs (id, ParentId, fName, sName, Code) OVERRIDING SYSTEM VALUE VALUES
    (1, NULL, 'Метрологическая служба', 'МС', '100'),
    (2, 1, 'Лаборатория измерений давления', 'ЛИД', '110'),
    (3, 1, 'Лаборатория теплотехнических измерений', 'ЛТИ', '120'),
    (4, 1, 'Лаборатория электрических измерений', 'ЛЭИ', '130'),
    (5, 4, 'Сектор поверки осциллографов', 'СПО', '131'),
    (6, NULL, 'Отдел главного механика', 'ОГМ', '200'),
    (7, 6, 'Ремонтная мастерская', 'РМ', '210');
SELECT setval(pg_get_serial_sequence('tSubDivs', 'id'), 100);
INSERT INTO tRoletSubDivs (InkRole, InkId, r, w) SELECT 2, id, 1, CASE WHEN id IN (2, 3) THEN 1 ELSE 0 END FROM tSubDivs;

INSERT INTO MSUL_DEPARTMENT (DEPARTMENT_ID, ENTITY_ID, PARENT_ID, DEPARTMENT_NAME, CODE, CREATION_ID) OVERRIDING SYSTEM VALUE VALUES
    (1, 1, NULL, 'Центр стандартизации и метрологии', 'ЦСМ', 1),
    (2, 2, 1, 'Отдел поверки средств измерений давления', 'ОП-1', 1),
    (3, 3, 1, 'Отдел поверки теплотехнических СИ', 'ОП-2', 1),
    (4, 4, 1, 'Отдел поверки электроизмерительных СИ', 'ОП-3', 1),
    (5, 5, 4, 'Группа радиоизмерений', 'ГРИ', 1);
SELECT setval(pg_get_serial_sequence('MSUL_DEPARTMENT', 'department_id'), 100);

INSERT INTO TypesSU (id, ParentId, fName, sName) OVERRIDING SYSTEM VALUE VALUES
    (1, NULL, 'Учёт энергоресурсов', 'УЭ'), (2, 1, 'Теплоснабжение', 'Тепло'), (3, 1, 'Электроснабжение', 'Электро'),
    (4, 1, 'Водоснабжение', 'Вода'), (5, NULL, 'Технологический учёт', 'ТУ'), (6, 5, 'Учёт сырья', 'Сырьё'),
    (7, 5, 'Учёт продукции', 'Продукция');
SELECT setval(pg_get_serial_sequence('TypesSU', 'id'), 100);

INSERT INTO ParmName (id, sName, fName) OVERRIDING SYSTEM VALUE VALUES
    (1, 'P', 'Давление избыточное'), (2, 'Pабс', 'Давление абсолютное'), (3, 't', 'Температура'),
    (4, 'U', 'Напряжение постоянного тока'), (5, 'I', 'Сила постоянного тока'), (6, 'R', 'Электрическое сопротивление'),
    (7, 'm', 'Масса'), (8, 'L', 'Длина'), (9, 'Q', 'Объёмный расход');
INSERT INTO MsrUnit (id, sName, fName, Code) OVERRIDING SYSTEM VALUE VALUES
    (1, 'Па', 'паскаль', '237'), (2, 'кПа', 'килопаскаль', '238'), (3, 'МПа', 'мегапаскаль', '239'),
    (4, 'кгс/см²', 'килограмм-сила на квадратный сантиметр', '337'), (5, '°C', 'градус Цельсия', '280'),
    (6, 'К', 'кельвин', '288'), (7, 'В', 'вольт', '222'), (8, 'мВ', 'милливольт', '223'), (9, 'А', 'ампер', '260'),
    (10, 'мА', 'миллиампер', '261'), (11, 'Ом', 'ом', '274'), (12, 'кг', 'килограмм', '166'), (13, 'г', 'грамм', '163'),
    (14, 'мм', 'миллиметр', '003'), (15, 'м³/ч', 'кубический метр в час', '598');
INSERT INTO MsrUnitParmName (MsrUnitId, ParmNameId) VALUES
    (1, 1), (1, 2), (2, 1), (2, 2), (3, 1), (3, 2), (4, 1), (5, 3), (6, 3), (7, 4), (8, 4), (9, 5), (10, 5),
    (11, 6), (12, 7), (13, 7), (14, 8), (15, 9);
SELECT setval(pg_get_serial_sequence('MsrUnit', 'id'), 100);
SELECT setval(pg_get_serial_sequence('ParmName', 'id'), 100);

INSERT INTO BlockType (id, sName) OVERRIDING SYSTEM VALUE VALUES (1, 'Блок питания'), (2, 'Блок измерительный'), (3, 'Блок индикации'),
    (4, 'Блок коммутации');
SELECT setval(pg_get_serial_sequence('BlockType', 'id'), 100);
INSERT INTO BlockSULink (IdBlock, IdTypesSU) SELECT b, t FROM (VALUES (1), (2), (3), (4)) AS b(b)
    CROSS JOIN LATERAL (SELECT id AS t FROM TypesSU WHERE ParentId IS NOT NULL ORDER BY id LIMIT 2) s;
INSERT INTO ChannelType2 (id, sName) OVERRIDING SYSTEM VALUE VALUES (1, 'Аналоговый 4-20 мА'), (2, 'Дискретный'), (3, 'Цифровой RS-485');
SELECT setval(pg_get_serial_sequence('ChannelType2', 'id'), 100);
INSERT INTO ModuleType (id, sName, ChannelCount, ChannelType2, ISFlag) OVERRIDING SYSTEM VALUE VALUES
    (1, 'Модуль аналогового ввода', 8, 1, '+'), (2, 'Модуль дискретного вывода', 16, 2, '-'),
    (3, 'Модуль интерфейса RS-485', 2, 3, '-');
SELECT setval(pg_get_serial_sequence('ModuleType', 'id'), 100);
INSERT INTO ModuleSULink (IdModule, IdTypesSU) SELECT m, t FROM (VALUES (1), (2), (3)) AS m(m)
    CROSS JOIN LATERAL (SELECT id AS t FROM TypesSU WHERE ParentId IS NOT NULL ORDER BY id LIMIT 1) s;

INSERT INTO MMState (id, SName, CheckTP, SetOnTP, Longterm) OVERRIDING SYSTEM VALUE VALUES
    (1, 'В эксплуатации', '+', '+', '-'), (2, 'На поверке', '-', '-', '-'), (3, 'В ремонте', '-', '-', '+'),
    (4, 'На консервации', '-', '-', '+'), (5, 'Списан', '-', '-', '-');
SELECT setval(pg_get_serial_sequence('MMState', 'id'), 100);
INSERT INTO MoveStates (State, ChangeSubdivHow, NewSubdivId, ChangeStateHow, NewStateId) VALUES
    (1, '-', NULL, '+', 2), (2, NULL, NULL, '-', NULL), (3, '+', 7, '+', 1);

INSERT INTO IntervalRef (id, fName, Months) OVERRIDING SYSTEM VALUE VALUES
    (1, '6 месяцев', 6), (2, '1 год', 12), (3, '2 года', 24), (4, '3 года', 36), (5, '5 лет', 60);
INSERT INTO IntervalCycle (id, IntervalId, Description) OVERRIDING SYSTEM VALUE VALUES
    (1, 2, 'Поверка'), (2, 3, 'Поверка'), (3, 3, 'Калибровка'), (4, 4, 'Поверка'), (5, 5, 'Поверка'), (6, 5, 'Осмотр');
SELECT setval(pg_get_serial_sequence('IntervalCycle', 'id'), 100);
INSERT INTO IntervalCycleItems (IntervalCycleID, Period, Name) VALUES
    (2, 12, 'Текущий ремонт'), (2, 24, 'Средний ремонт'), (3, 6, 'Калибровка'), (6, 12, 'Осмотр'), (6, 60, 'Капитальный ремонт');
SELECT setval(pg_get_serial_sequence('IntervalRef', 'id'), 100);

INSERT INTO SpheresGMK (Code, fName) VALUES
    ('01', 'Здравоохранение, ветеринария, охрана окружающей среды'),
    ('02', 'Обеспечение безопасности труда'),
    ('05', 'Торговые и товарообменные операции'),
    ('07', 'Государственные учётные операции'),
    ('12', 'Геодезическая и картографическая деятельность');

INSERT INTO VrfOrg (id, sName, KOD, OwnTesting, Director, PhysicalAddress, LegalAddress) OVERRIDING SYSTEM VALUE VALUES
    (1, 'ФБУ «Тест-С.-Петербург»', '7809022120', 0, 'Иванов И. И.', 'Санкт-Петербург, ул. Курляндская, 1', 'Санкт-Петербург, ул. Курляндская, 1'),
    (2, 'ФБУ «Ростест-Москва»', '7727061249', 0, 'Петров П. П.', 'Москва, Нахимовский пр-т, 31', 'Москва, Нахимовский пр-т, 31'),
    (3, 'ЦСМ Урала', '6661000241', 1, 'Сидоров С. С.', 'Екатеринбург, ул. Красноармейская, 2а', 'Екатеринбург, ул. Красноармейская, 2а');
SELECT setval(pg_get_serial_sequence('VrfOrg', 'id'), 100);
INSERT INTO VAT (id, fName, VATValue) OVERRIDING SYSTEM VALUE VALUES (1, 'Без НДС', 0), (2, 'НДС 18%', 18), (3, 'НДС 20%', 20);
SELECT setval(pg_get_serial_sequence('VAT', 'id'), 100);
INSERT INTO VATHistory (VrfOrgId, VATId, VATDate) VALUES (1, 2, '2004-01-01'), (1, 3, '2019-01-01'), (2, 3, '2019-01-01');
INSERT INTO VrfType (id, fName) OVERRIDING SYSTEM VALUE VALUES (1, 'Первичная'), (2, 'Периодическая'), (3, 'Внеочередная');
SELECT setval(pg_get_serial_sequence('VrfType', 'id'), 100);
INSERT INTO Tariff (id, fName, Status) OVERRIDING SYSTEM VALUE VALUES
    (1, 'Поверка манометра показывающего', '+'), (2, 'Поверка датчика давления', '+'),
    (3, 'Поверка термометра сопротивления', '+'), (4, 'Поверка мультиметра', '+'),
    (5, 'Первичная поверка весов до 1 кг', '+'), (6, 'Поверка штангенциркуля', '-');
SELECT setval(pg_get_serial_sequence('Tariff', 'id'), 100);
INSERT INTO TariffHistory (TariffId, Price, TariffDate) VALUES
    (1, 800, '2024-01-01'), (1, 850, '2026-01-01'), (2, 2450, '2025-01-01'), (3, 1320, '2025-01-01'),
    (4, 1980, '2025-01-01'), (5, 3100, '2025-01-01'), (6, 640, '2020-01-01');
INSERT INTO TariffVrfType (TariffId, VrfTypeId) VALUES (1, 2), (2, 2), (3, 2), (4, 2), (5, 1), (6, 2);
INSERT INTO TarifftMiTypes (TariffId, MITypeId)
SELECT 1, id FROM tMiTypes WHERE ParentId IS NOT NULL ORDER BY id LIMIT 1;
INSERT INTO TariffVrfOrg (TariffId, VrfOrgId) VALUES (1, 1), (1, 3), (2, 1), (4, 2);

INSERT INTO DocType (name) VALUES ('Паспорт'), ('Руководство по эксплуатации'), ('Методика поверки'), ('Описание типа');
-- A few documents of the first groups of instrument types; one serves two groups.
INSERT INTO Doc (id, Descript, Type, FileName, Format, Doc, CreatedBy) OVERRIDING SYSTEM VALUE VALUES
    (1, 'Методика поверки манометров', 3, 'МП манометры.txt', 'txt',
     convert_to('Методика поверки манометров показывающих.' || chr(10) || 'Раздел 1. Операции поверки.', 'UTF8'), 'admin'),
    (2, 'Руководство по эксплуатации', 2, 'РЭ.txt', 'txt',
     convert_to('Руководство по эксплуатации средств измерений давления.', 'UTF8'), 'admin'),
    (3, 'Описание типа', 4, 'Описание типа.html', 'html',
     convert_to('<html><body><h1>Описание типа</h1><p>Пример документа.</p></body></html>', 'UTF8'), 'admin');
SELECT setval(pg_get_serial_sequence('Doc', 'id'), 100);
INSERT INTO DocLinks (DocId, MITypeId)
SELECT d.id, t.id FROM (VALUES (1), (2), (3)) AS d(id)
CROSS JOIN LATERAL (SELECT id FROM tMiTypes WHERE ParentId IS NOT NULL ORDER BY id LIMIT CASE WHEN d.id = 2 THEN 2 ELSE 1 END) t;
INSERT INTO optnl_parameters (optyp_name, ParamType) VALUES ('Класс точности', 'string'), ('Диапазон измерений', 'string'),
    ('Заводской номер', 'string'), ('Год выпуска', 'integer'), ('Кл. точности', 'string');
-- Passports carry the same parameter under two names until they are merged.
INSERT INTO passport_optnl_parameters (passport_id, optyp_id, optyp_value) VALUES
    (1, 1, '0,6'), (2, 1, '1,0'), (3, 5, '1,5'), (4, 5, '2,5'), (3, 3, '4411');

-- The central register: areas of measurement, the codifier and some 340 central device types, one
-- per group, maker and variant of the instrument types above; a few types are bound to local copies.
INSERT INTO MSUL_MEASURE_TYPE (MEASURE_TYPE_CODE_ID, MEASURE_TYPE_CODE, MEASURE_TYPE_NAME) OVERRIDING SYSTEM VALUE VALUES
    (1, '27', 'Измерения давления, вакуумные измерения'), (2, '32', 'Теплофизические и температурные измерения'),
    (3, '34', 'Измерения электрических и магнитных величин'), (4, '28', 'Измерения механических величин'),
    (5, '01', 'Измерения геометрических величин'), (6, '29', 'Измерения параметров потока, расхода, уровня, объёма'),
    (7, '41', 'Измерения времени и частоты');
SELECT setval(pg_get_serial_sequence('MSUL_MEASURE_TYPE', 'measure_type_code_id'), 100);
INSERT INTO MSUL_CODIFF (ORIGINAL_CODIFF_CODE, CODIFF_CODE, MEASURE_TYPE_NAME)
SELECT MEASURE_TYPE_CODE, MEASURE_TYPE_CODE, MEASURE_TYPE_NAME FROM MSUL_MEASURE_TYPE
UNION ALL
SELECT m.MEASURE_TYPE_CODE || '.' || lpad(g.g::text, 2, '0'), m.MEASURE_TYPE_CODE || lpad(g.g::text, 2, '0'), g.name
FROM MSUL_MEASURE_TYPE m JOIN tMiTypes t ON t.id = m.MEASURE_TYPE_CODE_ID
CROSS JOIN LATERAL (SELECT id % 100 AS g, fName AS name FROM tMiTypes WHERE ParentId = t.id) g;

INSERT INTO MSUL_DEVICE_TYPE (DT_ID, ENTITY_ID, DEVICE_NAME, TYPE_STR, DEVICE_MARK, GOS_NO, METHOD, ORIGINAL_PERIOD,
    PERIOD, MEASURE_TYPE_CODE_ID, ORIGINAL_CODIFF, CODIFF, MARK_TYPE_ID, MANUFACTURER, GRADE_OF_ACCURACY,
    MEASUREMENT_RANGE, TIME_NORMA, MASS, DEFAULT_DEPARTMENT, LOCAL_FLAG, CREATION_ID) OVERRIDING SYSTEM VALUE
SELECT row_number() OVER (ORDER BY t.id, v), row_number() OVER (ORDER BY t.id, v), g.fName, t.sName,
       t.sName || CASE v WHEN 1 THEN '' ELSE '-' || (v * 100) END,
       (20000 + t.id % 10000 * 4 + v) || '-' || (10 + v), 'МИ ' || (2000 + t.id % 1000) || '-' || (2000 + v),
       CASE WHEN g.ParentId IN (1, 2) THEN 12 ELSE 24 END, CASE WHEN g.ParentId IN (1, 2) THEN 12 ELSE 24 END,
       g.ParentId, m.MEASURE_TYPE_CODE || '.' || lpad((g.id % 100)::text, 2, '0'),
       m.MEASURE_TYPE_CODE || lpad((g.id % 100)::text, 2, '0'), 1 + v % 4,
       (ARRAY['ЭлМетро', 'Метран', 'Теплоприбор', 'Калибр', 'Прибор'])[t.id % 100],
       (ARRAY['0,5', '1,0', '1,5', '2,5'])[v], 'от 0 до ' || (v * 10) || ' ед.', 0.5 * v, 0.25 * v,
       CASE g.ParentId WHEN 1 THEN 2 WHEN 2 THEN 3 WHEN 3 THEN 4 ELSE NULL END, 0, 1
FROM tMiTypes t JOIN tMiTypes g ON g.id = t.ParentId JOIN MSUL_MEASURE_TYPE m ON m.MEASURE_TYPE_CODE_ID = g.ParentId
CROSS JOIN generate_series(1, 4) v
WHERE t.id BETWEEN 10000 AND 99999;
UPDATE MSUL_DEVICE_TYPE SET CENTER_ID = DT_ID; -- a central record's number in the central register
-- Local copies of three manometers' central records, made when their types were bound.
INSERT INTO MSUL_DEVICE_TYPE (DT_ID, ENTITY_ID, CENTER_ID, DEVICE_NAME, TYPE_STR, DEVICE_MARK, GOS_NO, METHOD,
    ORIGINAL_PERIOD, PERIOD, MEASURE_TYPE_CODE_ID, ORIGINAL_CODIFF, CODIFF, MARK_TYPE_ID, MANUFACTURER,
    GRADE_OF_ACCURACY, MEASUREMENT_RANGE, TIME_NORMA, MASS, DEFAULT_DEPARTMENT, DEV_CODE, LOCAL_FLAG, CREATION_ID) OVERRIDING SYSTEM VALUE
SELECT 1000 + c.DT_ID, 1000 + c.DT_ID, c.ENTITY_ID, c.DEVICE_NAME, c.TYPE_STR, c.DEVICE_MARK, c.GOS_NO, c.METHOD,
       c.ORIGINAL_PERIOD, c.PERIOD, c.MEASURE_TYPE_CODE_ID, c.ORIGINAL_CODIFF, c.CODIFF, c.MARK_TYPE_ID,
       c.MANUFACTURER, c.GRADE_OF_ACCURACY, c.MEASUREMENT_RANGE, c.TIME_NORMA, c.MASS, c.DEFAULT_DEPARTMENT,
       'Л-' || c.DT_ID, 1, 1
FROM MSUL_DEVICE_TYPE c WHERE c.DT_ID IN (1, 5, 9);
INSERT INTO MSUL_DEVICE_TYPE (DT_ID, ENTITY_ID, DEVICE_NAME, DEVICE_MARK, TYPE_STR, MEASURE_TYPE_CODE_ID,
    ORIGINAL_CODIFF, CODIFF, MARK_TYPE_ID, LOCAL_FLAG, CREATION_ID) OVERRIDING SYSTEM VALUE
VALUES (2000, 2000, 'Мультиметр цифровой', 'APPA 109N', 'APPA 109N', 3, '34', '34', 1, 1, 1);
SELECT setval(pg_get_serial_sequence('MSUL_DEVICE_TYPE', 'dt_id'), 5000);
UPDATE tMiTypes SET DT_ID = 1000 + (id - 10101) * 4 + 1 WHERE id IN (10101, 10102, 10103);
-- Weights are not measuring instruments here.
UPDATE tMiTypes SET DT_ID = -2147483647 WHERE id = 40201;
GRANT INSERT, UPDATE ON MSUL_DEVICE_TYPE TO "ORTA-Метрологи";
INSERT INTO MSUL_CUSTOMER_TYPE (ID, SName) OVERRIDING SYSTEM VALUE VALUES (1, 'Юридическое лицо'), (2, 'Индивидуальный предприниматель'),
    (3, 'Физическое лицо');
INSERT INTO MSUL_OKATO (OKATO_CODE, OKATO_NAME, COMMENT) VALUES ('40000000000', 'г. Санкт-Петербург', NULL),
    ('45000000000', 'г. Москва', NULL), ('65401000000', 'г. Екатеринбург', 'Свердловская область');
INSERT INTO MSUL_CUSTOMER (LOCAL_CODE, CUSTOMER_NAME, CUSTOMER_TYPE_ID, INN, OKATO, ADDRESS, PHONE, CREATION_ID) VALUES
    ('001', 'АО «Северный завод»', 1, '7805012345', '40000000000', 'Санкт-Петербург, пр. Стачек, 47', '+7 812 000-00-01', 1),
    ('002', 'ООО «Теплосеть-Сервис»', 1, '7702123456', '45000000000', 'Москва, ул. Бауманская, 11', NULL, 1),
    ('003', 'ПАО «Уралхиммаш»', 1, '6663003127', '65401000000', 'Екатеринбург, ул. Хибиногорский пер., 33', NULL, 1);
UPDATE MSUL_CUSTOMER SET ENTITY_ID = ID;
INSERT INTO MSUL_CALIBRATION_ORDERS (ORDER_NUMBER, ORDER_DATE, CUSTOMER_NAME, CREATION_ID) VALUES
    ('К-2026-0147', '2026-11-02', 'АО «Северный завод»', 1), ('К-2026-0151', '2026-11-09', 'ООО «Теплосеть-Сервис»', 1);
UPDATE MSUL_CALIBRATION_ORDERS SET ENTITY_ID = ID;
INSERT INTO MSUL_EMPLOYEES (ENTITY_ID, EMPLOYEE_ID, LASTNAME, FIRSTNAME, MIDDLENAME, LOCAL_CODE, POSITION, USER_INFO_ID,
                            MARK_CIPHER, HIRED, DEPARTMENT_ID, CREATION_ID) VALUES
    (1, 1001, 'Соколова', 'Анна', 'Викторовна', '1001', 'Начальник отдела', 1, 'СА-01', '2015-03-01', 2, 1),
    (2, 1002, 'Кузнецов', 'Дмитрий', 'Олегович', '1002', 'Поверитель', 2, 'КД-02', '2018-09-10', 2, 1),
    (3, 1003, 'Михайлова', 'Елена', 'Сергеевна', '1003', 'Поверитель', NULL, 'МЕ-03', '2020-02-17', 5, 1);
UPDATE MSUL_EMPLOYEES SET ENTITY_ID = ID;

-- The identities past the keys given above.
SELECT dbo.reseed_identities();
