update rdb$functions set rdb$module_name='kovra_udf' where upper(rdb$module_name) containing 'KOVRA_UDF';
